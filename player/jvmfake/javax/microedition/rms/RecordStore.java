package javax.microedition.rms;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.List;
import java.util.Map;

/**
 * Desktop stand-in: record stores kept in memory for the life of the JVM,
 * with the phone's rules (ids from 1, never reused; open counts; a store
 * that is open can not be deleted) and an optional size limit so tests can
 * fill the phone's memory.
 */
public class RecordStore {
  private static final Map<String, RecordStore> STORES = new HashMap<>();
  /** For tests: the most bytes all records of a store may hold; negative for no limit. */
  // desktop only
  public static int limit = -1;

  private final String name;
  private final List<byte[]> records = new ArrayList<>();
  private int opened;

  private RecordStore(String name) { this.name = name; }

  /** For tests: forgets every store. */
  // desktop only
  public static synchronized void reset() {
    STORES.clear();
    limit = -1;
  }

  public static synchronized void deleteRecordStore(String name)
      throws RecordStoreException, RecordStoreNotFoundException {
    RecordStore rs = STORES.get(name);
    if (rs == null) {
      throw new RecordStoreNotFoundException(name);
    }
    if (rs.opened > 0) {
      throw new RecordStoreException("store is open");
    }
    STORES.remove(name);
  }

  public static synchronized RecordStore openRecordStore(String name, boolean create)
      throws RecordStoreException, RecordStoreFullException, RecordStoreNotFoundException {
    if (name == null || name.length() == 0 || name.length() > 32) {
      throw new IllegalArgumentException("bad store name");
    }
    RecordStore rs = STORES.get(name);
    if (rs == null) {
      if (!create) {
        throw new RecordStoreNotFoundException(name);
      }
      rs = new RecordStore(name);
      STORES.put(name, rs);
    }
    rs.opened++;
    return rs;
  }

  public synchronized void closeRecordStore()
      throws RecordStoreNotOpenException, RecordStoreException {
    open();
    opened--;
  }

  /** For tests: how often the store is open now. */
  // desktop only
  public static synchronized int openCount(String name) {
    RecordStore rs = STORES.get(name);
    return rs == null ? 0 : rs.opened;
  }

  public static synchronized String[] listRecordStores() {
    return STORES.isEmpty() ? null : STORES.keySet().toArray(new String[0]);
  }

  private void open() throws RecordStoreNotOpenException {
    if (opened <= 0) {
      throw new RecordStoreNotOpenException(name);
    }
  }

  public String getName() throws RecordStoreNotOpenException {
    open();
    return name;
  }

  public int getVersion() throws RecordStoreNotOpenException {
    open();
    return 0;
  }

  public synchronized int getNumRecords() throws RecordStoreNotOpenException {
    open();
    int n = 0;
    for (byte[] r : records) {
      n += r == null ? 0 : 1;
    }
    return n;
  }

  private int used() {
    int n = 0;
    for (byte[] r : records) {
      n += r == null ? 0 : r.length;
    }
    return n;
  }

  public synchronized int getSize() throws RecordStoreNotOpenException {
    open();
    return used();
  }

  public synchronized int getSizeAvailable() throws RecordStoreNotOpenException {
    open();
    return limit < 0 ? 1 << 20 : Math.max(0, limit - used());
  }

  public long getLastModified() throws RecordStoreNotOpenException {
    open();
    return 0;
  }

  public void addRecordListener(RecordListener listener) {}

  public void removeRecordListener(RecordListener listener) {}

  public synchronized int getNextRecordID()
      throws RecordStoreNotOpenException, RecordStoreException {
    open();
    return records.size() + 1;
  }

  private void room(int more) throws RecordStoreFullException {
    if (limit >= 0 && used() + more > limit) {
      throw new RecordStoreFullException("store full");
    }
  }

  public synchronized int addRecord(byte[] data, int offset, int n)
      throws RecordStoreNotOpenException, RecordStoreException, RecordStoreFullException {
    open();
    room(n);
    records.add(data == null ? new byte[0] : Arrays.copyOfRange(data, offset, offset + n));
    return records.size();
  }

  private byte[] record(int id) throws InvalidRecordIDException {
    if (id < 1 || id > records.size() || records.get(id - 1) == null) {
      throw new InvalidRecordIDException("no record " + id);
    }
    return records.get(id - 1);
  }

  public synchronized void deleteRecord(int id)
      throws RecordStoreNotOpenException, InvalidRecordIDException, RecordStoreException {
    open();
    record(id);
    records.set(id - 1, null);
  }

  public synchronized int getRecordSize(int id)
      throws RecordStoreNotOpenException, InvalidRecordIDException, RecordStoreException {
    open();
    return record(id).length;
  }

  public synchronized int getRecord(int id, byte[] buffer, int offset)
      throws RecordStoreNotOpenException, InvalidRecordIDException, RecordStoreException {
    open();
    byte[] r = record(id);
    System.arraycopy(r, 0, buffer, offset, r.length);
    return r.length;
  }

  public synchronized byte[] getRecord(int id)
      throws RecordStoreNotOpenException, InvalidRecordIDException, RecordStoreException {
    open();
    byte[] r = record(id);
    return r.length == 0 ? null : r.clone();
  }

  public synchronized void setRecord(int id, byte[] data, int offset, int n)
      throws RecordStoreNotOpenException, InvalidRecordIDException, RecordStoreException, RecordStoreFullException {
    open();
    room(n - record(id).length);
    records.set(id - 1, Arrays.copyOfRange(data, offset, offset + n));
  }

  public RecordEnumeration enumerateRecords(RecordFilter filter, RecordComparator comparator, boolean keepUpdated)
      throws RecordStoreNotOpenException {
    throw new UnsupportedOperationException("not used by the player");
  }
}
