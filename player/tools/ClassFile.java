import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.File;
import java.io.FileInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.util.ArrayList;
import java.util.List;

/**
 * A small class-file reader: the constant pool, the supertypes, and each
 * field's and method's name, descriptor and flags, with a method's code and
 * whether it carries a StackMap; just what ClassCheck looks at.
 */
final class ClassFile {
  static final class Member {
    String name;
    String desc;
    int flags;
    byte[] code;
    int handlers;
    boolean stackMap;
  }

  String name;
  String superName;
  List<String> interfaces = new ArrayList<>();
  int major;
  int minor;
  /** Constant pool: tag per slot, the UTF-8 text of Utf8 entries, index pairs of the others. */
  int[] tags;
  String[] utf;
  int[] a;
  int[] b;
  List<Member> fields = new ArrayList<>();
  List<Member> methods = new ArrayList<>();
  List<String> attributes = new ArrayList<>();

  String className(int index) {
    return utf[a[index]];
  }

  static ClassFile parse(byte[] bytes) throws IOException {
    DataInputStream in = new DataInputStream(new java.io.ByteArrayInputStream(bytes));
    ClassFile c = new ClassFile();
    if (in.readInt() != 0xCAFEBABE) {
      throw new IOException("not a class file");
    }
    c.minor = in.readUnsignedShort();
    c.major = in.readUnsignedShort();
    int n = in.readUnsignedShort();
    c.tags = new int[n];
    c.utf = new String[n];
    c.a = new int[n];
    c.b = new int[n];
    for (int i = 1; i < n; i++) {
      int tag = in.readUnsignedByte();
      c.tags[i] = tag;
      switch (tag) {
        case 1:
          c.utf[i] = in.readUTF();
          break;
        case 3: case 4:
          c.a[i] = in.readInt();
          break;
        case 5: case 6:
          in.readLong();
          i++;
          break;
        case 7: case 8: case 16: case 19: case 20:
          c.a[i] = in.readUnsignedShort();
          break;
        case 9: case 10: case 11: case 12: case 17: case 18:
          c.a[i] = in.readUnsignedShort();
          c.b[i] = in.readUnsignedShort();
          break;
        case 15:
          in.readUnsignedByte();
          c.a[i] = in.readUnsignedShort();
          break;
        default:
          throw new IOException("bad constant pool tag " + tag);
      }
    }
    in.readUnsignedShort();
    c.name = c.className(in.readUnsignedShort());
    int sup = in.readUnsignedShort();
    c.superName = sup == 0 ? null : c.className(sup);
    int ni = in.readUnsignedShort();
    for (int i = 0; i < ni; i++) {
      c.interfaces.add(c.className(in.readUnsignedShort()));
    }
    for (int kind = 0; kind < 2; kind++) {
      int count = in.readUnsignedShort();
      for (int i = 0; i < count; i++) {
        Member m = new Member();
        m.flags = in.readUnsignedShort();
        m.name = c.utf[in.readUnsignedShort()];
        m.desc = c.utf[in.readUnsignedShort()];
        int attrs = in.readUnsignedShort();
        for (int k = 0; k < attrs; k++) {
          String an = c.utf[in.readUnsignedShort()];
          byte[] body = new byte[in.readInt()];
          in.readFully(body);
          if (an.equals("Code")) {
            DataInputStream code = new DataInputStream(new java.io.ByteArrayInputStream(body));
            code.readUnsignedShort();
            code.readUnsignedShort();
            m.code = new byte[code.readInt()];
            code.readFully(m.code);
            m.handlers = code.readUnsignedShort();
            code.skipBytes(m.handlers * 8);
            int ca = code.readUnsignedShort();
            for (int j = 0; j < ca; j++) {
              String can = c.utf[code.readUnsignedShort()];
              code.skipBytes(code.readInt());
              m.stackMap |= can.equals("StackMap");
            }
          }
        }
        (kind == 0 ? c.fields : c.methods).add(m);
      }
    }
    int attrs = in.readUnsignedShort();
    for (int k = 0; k < attrs; k++) {
      c.attributes.add(c.utf[in.readUnsignedShort()]);
      in.skipBytes(in.readInt());
    }
    return c;
  }

  static byte[] readAll(InputStream in) throws IOException {
    ByteArrayOutputStream out = new ByteArrayOutputStream();
    byte[] buf = new byte[8192];
    for (int n; (n = in.read(buf)) > 0; ) {
      out.write(buf, 0, n);
    }
    return out.toByteArray();
  }

  static byte[] readFile(File f) throws IOException {
    try (InputStream in = new FileInputStream(f)) {
      return readAll(in);
    }
  }
}
