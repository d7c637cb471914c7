"""Writes the signatures-only phone API from the desktop stand-ins in jvmfake/.

Usage: python3 make_stubs.py JVMFAKE_DIR OUT_DIR

The stand-ins are the one place the API is written; the player compiles
against what this leaves of them: the package, the type declaration, the
public and protected members with dummy bodies, and the constant values
(the compiler copies those into the player's classes). A member marked with
a "// desktop only" line above it exists for the tests and is left out.
"""

import os
import re
import sys

MARK = "@DESKTOP_ONLY@"
PRIMITIVE_ZERO = {"void": "", "boolean": " return false; ", "byte": " return 0; ", "short": " return 0; ",
                  "char": " return 0; ", "int": " return 0; ", "long": " return 0; ", "float": " return 0; ",
                  "double": " return 0; "}


def strip_comments(text):
    """Comments become spaces, the desktop-only marker a token; strings stay."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(" " + MARK + " " if text[i + 2:end].strip() == "desktop only" else " ")
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            if end < 0:
                raise ValueError("unterminated comment")
            out.append(" ")
            i = end + 2
        elif c in "\"'":
            j = i + 1
            while text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(text[i:j + 1])
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def skip_block(text, i):
    """Index just past the brace block opening at text[i]."""
    depth = 0
    while True:
        c = text[i]
        if c in "\"'":
            j = i + 1
            while text[j] != c:
                j += 2 if text[j] == "\\" else 1
            i = j
        elif c == "{":
            depth += 1
        elif c == "}":
            depth -= 1
            if depth == 0:
                return i + 1
        i += 1


def members(body):
    """(header, has_body) for each member of a type body (text between its braces)."""
    i, start, n = 0, 0, len(body)
    paren = 0
    while i < n:
        c = body[i]
        if c == "(":
            paren += 1
        elif c == ")":
            paren -= 1
        elif c in "\"'":
            j = i + 1
            while body[j] != c:
                j += 2 if body[j] == "\\" else 1
            i = j
        elif c == ";" and paren == 0:
            yield " ".join(body[start:i].split()), False
            start = i + 1
        elif c == "{" and paren == 0:
            header = " ".join(body[start:i].split())
            if "=" in header:  # an array initialiser belongs to a field
                i = skip_block(body, i) - 1
            else:
                yield header, True
                i = skip_block(body, i) - 1
                start = i + 1
        i += 1
    if body[start:].strip():
        raise ValueError("unparsed text in type body: " + body[start:].strip())


def stub(source, name):
    text = strip_comments(source)
    package = re.search(r"^\s*package\s+[\w.]+\s*;", text, re.M).group(0).strip()
    decl = re.search(r"\b(?:class|interface)\s+" + re.escape(name) + r"\b", text)
    open_brace = text.index("{", decl.end())
    head_start = max(text.rfind(";", 0, decl.start()), text.rfind("}", 0, decl.start())) + 1
    header = " ".join(text[head_start:open_brace].split()).replace(MARK, "").strip()
    is_interface = re.search(r"\binterface\b", header) is not None
    body = text[open_brace + 1:skip_block(text, open_brace) - 1]

    # Imports are dropped, so the names they bring in are spelled out.
    imported = dict((m.group(2), m.group(1) + m.group(2))
                    for m in re.finditer(r"^\s*import\s+([\w.]+\.)(\w+)\s*;", text, re.M))

    def qualify(s):
        return re.sub(r"(?<![\w.])(\w+)\b", lambda m: imported.get(m.group(1), m.group(1)), s)

    header = qualify(header)
    lines, hidden_ctor = [], None
    has_api_ctor = False
    for member, has_body in members(body):
        if not member:
            continue
        if MARK in member:
            continue
        words = member.split("(")[0].split()
        api = is_interface or "public" in words or "protected" in words
        is_method = "(" in member and "=" not in member.split("(")[0]
        is_ctor = is_method and words[-1] == name
        if is_ctor and not api and hidden_ctor is None:
            hidden_ctor = "private" if "private" in words else ""
        if not api:
            continue
        # Locking is how the stand-in works, not part of the API.
        member = qualify(re.sub(r"\bsynchronized\s+", "", member))
        if not is_method:
            if not is_interface and "=" in member and not ("static" in words and "final" in words):
                member = member.split("=")[0].strip()
            lines.append("  " + member + ";")
            continue
        if is_ctor:
            has_api_ctor = True
            lines.append("  " + member + " {}")
        elif not has_body:
            lines.append("  " + member + ";")
        else:
            ret = words[-2]
            fill = PRIMITIVE_ZERO.get(ret, " return null; ")
            lines.append("  " + member + " {" + fill + "}")
    if not is_interface and not has_api_ctor:
        if hidden_ctor is None:
            raise ValueError(name + ": no constructor to keep hidden")
        lines.insert(0, "  " + (hidden_ctor + " " if hidden_ctor else "") + name + "() {}")
    return package + "\n\n" + header + " {\n" + "\n".join(lines) + "\n}\n"


def main(src, dst):
    for folder, _, files in os.walk(src):
        for f in sorted(files):
            if not f.endswith(".java"):
                continue
            rel = os.path.relpath(os.path.join(folder, f), src)
            with open(os.path.join(src, rel), encoding="utf-8") as fh:
                text = stub(fh.read(), f[:-5])
            os.makedirs(os.path.dirname(os.path.join(dst, rel)), exist_ok=True)
            with open(os.path.join(dst, rel), "w", encoding="utf-8") as fh:
                fh.write(text)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_stubs.py JVMFAKE_DIR OUT_DIR")
    main(sys.argv[1], sys.argv[2])
