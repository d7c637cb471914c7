#include "archive/mask.h"

#include "core/text.h"

namespace grix {

EInvalidMask::EInvalidMask(const std::string& mask)
    : Error("Invalid mask \"" + mask + "\": more than " + std::to_string(kMaxMaskStars) +
            " \"*\" wildcards") {}

TMask::TMask(std::string_view mask) {
    bool pending_star = false;
    int stars = 0;
    auto add = [&](Element element) {
        element.star = pending_star;
        if (pending_star) ++stars;
        pending_star = false;
        elements_.push_back(element);
    };
    std::size_t at = 0;
    while (at < mask.size()) {
        const char c = mask[at];
        const std::size_t len = Utf8SequenceLength(mask, at);
        if (c == '*') {
            pending_star = true;
        } else if (c == '?') {
            // "*?" is the same as "*": the star already covers one character.
            if (!pending_star) add({Kind::AnyChar, false, 0, {}});
        } else if (len > 1) {
            Element element{Kind::Sequence, false, static_cast<std::uint8_t>(len), {}};
            for (std::size_t i = 0; i < len; ++i) element.bytes[i] = mask[at + i];
            add(element);
        } else {
            add({Kind::Literal, false, 1, {AsciiUpper(c)}});
        }
        at += len;
    }
    add({Kind::End, false, 0, {}});
    if (stars > kMaxMaskStars) throw EInvalidMask(std::string(mask));
}

int TMask::MatchAt(const Element& element, std::string_view text, std::size_t at) {
    switch (element.kind) {
        case Kind::End: return at == text.size() ? 0 : -1;
        case Kind::AnyChar:
            return at < text.size() ? static_cast<int>(Utf8SequenceLength(text, at)) : -1;
        case Kind::Literal:
            if (at >= text.size() || Utf8SequenceLength(text, at) != 1) return -1;
            return AsciiUpper(text[at]) == element.bytes[0] ? 1 : -1;
        case Kind::Sequence:
            if (text.size() - at < element.length || at >= text.size()) return -1;
            return text.compare(at, element.length, element.bytes, element.length) == 0
                       ? element.length
                       : -1;
    }
    return -1;
}

bool TMask::Matches(std::string_view text) const {
    // Classic single-backtrack wildcard matching: when an element fails,
    // the most recent star takes one more character and the elements after
    // it are tried again. A later star makes earlier ones final, so the
    // work stays linear in the text times the mask.
    std::size_t element = 0;
    std::size_t at = 0;
    std::size_t star_element = elements_.size();  // none yet
    std::size_t star_at = 0;
    for (;;) {
        const Element& e = elements_[element];
        if (e.star && star_element != element) {
            star_element = element;
            star_at = at;
        }
        const int used = MatchAt(e, text, at);
        if (used >= 0) {
            if (e.kind == Kind::End) return true;
            at += static_cast<std::size_t>(used);
            ++element;
            continue;
        }
        if (star_element == elements_.size() || star_at >= text.size()) return false;
        star_at += Utf8SequenceLength(text, star_at);
        element = star_element;
        at = star_at;
    }
}

bool MatchesMask(std::string_view text, std::string_view mask) { return TMask(mask).Matches(text); }

}  // namespace grix
