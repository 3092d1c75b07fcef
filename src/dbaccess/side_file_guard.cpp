#include "dbaccess/side_file_guard.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kolvar::db {

namespace {

constexpr std::string_view kJournalSuffix = "-journal";
constexpr std::string_view kLogSuffix = "-wal";
constexpr unsigned char kJournalMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};

sqlite3_vfs* Real() {
  static sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
  return real;
}

// Our file object; the file of the real layer follows it in the same block.
struct GuardFile {
  sqlite3_file base;
  const char* mainPath;  // set for a main database file while it is open
  sqlite3_file* real() {
    return reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(this) + Offset());
  }
  static constexpr std::size_t Offset() { return (sizeof(GuardFile) + 15) & ~std::size_t(15); }
};

// The main database files open in this process, by full path, so that a side
// file can be compared with the file it sits beside.
std::mutex openFilesMutex;
std::multimap<std::string, GuardFile*>& OpenFiles() {
  static std::multimap<std::string, GuardFile*> files;
  return files;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::uint32_t Be32(const unsigned char* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
         p[3];
}

// The first 100 bytes of the open main database file at `path`; false when it
// is not open here or shorter than that.
bool ReadMainHeader(std::string_view path, unsigned char (&header)[100]) {
  std::lock_guard lock(openFilesMutex);
  auto it = OpenFiles().find(std::string(path));
  if (it == OpenFiles().end()) return false;
  sqlite3_file* file = it->second->real();
  return file->pMethods->xRead(file, header, sizeof header, 0) == SQLITE_OK;
}

// What a rollback journal says about the file it was written for.
struct JournalFacts {
  bool valid = false;  // a well-formed first header
  std::uint32_t pageSize = 0;
  std::uint32_t initialPages = 0;  // size of the file when the commit began
  bool hasPageOne = false;
  std::uint32_t changeCounter = 0;  // of page 1 before the commit
};

JournalFacts ReadJournal(sqlite3_file* journal) {
  JournalFacts facts;
  sqlite3_int64 size = 0;
  if (journal->pMethods->xFileSize(journal, &size) != SQLITE_OK) return facts;
  sqlite3_int64 offset = 0;
  while (offset + 28 <= size) {
    unsigned char header[28];
    if (journal->pMethods->xRead(journal, header, 28, offset) != SQLITE_OK) break;
    if (std::memcmp(header, kJournalMagic, 8) != 0) break;
    std::uint32_t records = Be32(header + 8);
    const std::uint32_t sector = Be32(header + 20);
    const std::uint32_t pageSize = Be32(header + 24);
    if (sector < 32 || sector > 65536 || pageSize < 512 || pageSize > 65536) break;
    if (offset == 0) {
      facts.valid = true;
      facts.pageSize = pageSize;
      facts.initialPages = Be32(header + 16);
    }
    sqlite3_int64 record = offset + sector;
    const sqlite3_int64 recordSize = 8 + sqlite3_int64(pageSize);
    if (records == 0xffffffffu) records = static_cast<std::uint32_t>((size - record) / recordSize);
    for (std::uint32_t i = 0; i < records && record + recordSize <= size;
         ++i, record += recordSize) {
      unsigned char page[4];
      if (journal->pMethods->xRead(journal, page, 4, record) != SQLITE_OK) return facts;
      if (Be32(page) != 1) continue;
      unsigned char counter[4];
      if (journal->pMethods->xRead(journal, counter, 4, record + 4 + 24) != SQLITE_OK) return facts;
      facts.hasPageOne = true;
      facts.changeCounter = Be32(counter);
      return facts;
    }
    offset = (record + sector - 1) / sector * sector;  // the next header starts on a sector
  }
  return facts;
}

// False when the journal was written for another copy of the database file.
bool BelongsToFile(const JournalFacts& journal, const unsigned char (&db)[100]) {
  if (!journal.valid) return true;  // not a journal the engine would play back
  const std::uint32_t pageSize =
      (std::uint32_t(db[16]) << 8 | db[17]) == 1 ? 65536 : (std::uint32_t(db[16]) << 8 | db[17]);
  if (pageSize != journal.pageSize) return false;
  const std::uint32_t counter = Be32(db + 24);
  if (journal.hasPageOne)
    return counter == journal.changeCounter || counter == journal.changeCounter + 1;
  // Page 1 was not touched yet: the file still says how large it was.
  return Be32(db + 28) == journal.initialPages;
}

// The journal being opened for playback: emptied when it is another file's.
void CheckJournal(const char* name, sqlite3_file* journal) {
  const std::string_view path(name);
  unsigned char db[100];
  if (!ReadMainHeader(path.substr(0, path.size() - kJournalSuffix.size()), db)) return;
  if (!BelongsToFile(ReadJournal(journal), db)) journal->pMethods->xTruncate(journal, 0);
}

// --- the file methods pass everything on to the real file ----------------

sqlite3_file* R(sqlite3_file* f) {
  return reinterpret_cast<GuardFile*>(f)->real();
}

int Close(sqlite3_file* f) {
  auto* g = reinterpret_cast<GuardFile*>(f);
  if (g->mainPath) {
    std::lock_guard lock(openFilesMutex);
    auto range = OpenFiles().equal_range(g->mainPath);
    for (auto it = range.first; it != range.second; ++it)
      if (it->second == g) {
        OpenFiles().erase(it);
        break;
      }
  }
  return g->real()->pMethods->xClose(g->real());
}
int Read(sqlite3_file* f, void* p, int n, sqlite3_int64 o) {
  return R(f)->pMethods->xRead(R(f), p, n, o);
}
int Write(sqlite3_file* f, const void* p, int n, sqlite3_int64 o) {
  return R(f)->pMethods->xWrite(R(f), p, n, o);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  return R(f)->pMethods->xTruncate(R(f), size);
}
int Sync(sqlite3_file* f, int flags) {
  return R(f)->pMethods->xSync(R(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
  return R(f)->pMethods->xFileSize(R(f), size);
}
int Lock(sqlite3_file* f, int level) {
  return R(f)->pMethods->xLock(R(f), level);
}
int Unlock(sqlite3_file* f, int level) {
  return R(f)->pMethods->xUnlock(R(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
  return R(f)->pMethods->xCheckReservedLock(R(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
  return R(f)->pMethods->xFileControl(R(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
  return R(f)->pMethods->xSectorSize(R(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
  return R(f)->pMethods->xDeviceCharacteristics(R(f));
}
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
  if (R(f)->pMethods->iVersion < 2) return SQLITE_IOERR;
  return R(f)->pMethods->xShmMap(R(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
  return R(f)->pMethods->xShmLock(R(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
  R(f)->pMethods->xShmBarrier(R(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
  if (R(f)->pMethods->iVersion < 2) return SQLITE_OK;
  return R(f)->pMethods->xShmUnmap(R(f), deleteFlag);
}
int Fetch(sqlite3_file* f, sqlite3_int64 o, int n, void** pp) {
  if (R(f)->pMethods->iVersion < 3) {
    *pp = nullptr;
    return SQLITE_OK;
  }
  return R(f)->pMethods->xFetch(R(f), o, n, pp);
}
int Unfetch(sqlite3_file* f, sqlite3_int64 o, void* p) {
  if (R(f)->pMethods->iVersion < 3) return SQLITE_OK;
  return R(f)->pMethods->xUnfetch(R(f), o, p);
}

const sqlite3_io_methods kMethods = {3,
                                     Close,
                                     Read,
                                     Write,
                                     Truncate,
                                     Sync,
                                     FileSize,
                                     Lock,
                                     Unlock,
                                     CheckReservedLock,
                                     FileControl,
                                     SectorSize,
                                     DeviceCharacteristics,
                                     ShmMap,
                                     ShmLock,
                                     ShmBarrier,
                                     ShmUnmap,
                                     Fetch,
                                     Unfetch};

// --- the file layer -------------------------------------------------------

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  auto* g = reinterpret_cast<GuardFile*>(f);
  g->base.pMethods = nullptr;
  g->mainPath = nullptr;
  const int rc = Real()->xOpen(Real(), name, g->real(), flags, outFlags);
  if (rc != SQLITE_OK) return rc;
  g->base.pMethods = &kMethods;
  if (!name) return rc;
  if (flags & SQLITE_OPEN_MAIN_DB) {
    std::lock_guard lock(openFilesMutex);
    auto it = OpenFiles().emplace(name, g);
    g->mainPath = it->first.c_str();
  } else if ((flags & SQLITE_OPEN_MAIN_JOURNAL) && (flags & SQLITE_OPEN_READWRITE) &&
             !(flags & SQLITE_OPEN_CREATE)) {
    // An existing journal opened for writing is about to be played back; the
    // engine holds the database exclusively while it does.
    CheckJournal(name, g->real());
  }
  return rc;
}

int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  const int rc = Real()->xAccess(Real(), name, flags, out);
  if (rc != SQLITE_OK || flags != SQLITE_ACCESS_EXISTS || !*out) return rc;
  const std::string_view path(name);
  if (!EndsWith(path, kLogSuffix)) return rc;
  unsigned char db[100];
  if (!ReadMainHeader(path.substr(0, path.size() - kLogSuffix.size()), db)) return rc;
  if (db[18] == 1 && db[19] == 1) {  // the file is in rollback mode: the log is not its own
    Real()->xDelete(Real(), name, 0);
    const std::string shm = std::string(path.substr(0, path.size() - kLogSuffix.size())) + "-shm";
    Real()->xDelete(Real(), shm.c_str(), 0);
    *out = 0;
  }
  return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  return Real()->xDelete(Real(), name, syncDir);
}
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
  return Real()->xFullPathname(Real(), name, n, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) {
  return Real()->xDlOpen(Real(), name);
}
void DlError(sqlite3_vfs*, int n, char* out) {
  Real()->xDlError(Real(), n, out);
}
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
  return Real()->xDlSym(Real(), handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) {
  Real()->xDlClose(Real(), handle);
}
int Randomness(sqlite3_vfs*, int n, char* out) {
  return Real()->xRandomness(Real(), n, out);
}
int Sleep(sqlite3_vfs*, int micros) {
  return Real()->xSleep(Real(), micros);
}
int CurrentTime(sqlite3_vfs*, double* out) {
  return Real()->xCurrentTime(Real(), out);
}
int GetLastError(sqlite3_vfs*, int n, char* out) {
  return Real()->xGetLastError ? Real()->xGetLastError(Real(), n, out) : 0;
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
  return Real()->xCurrentTimeInt64(Real(), out);
}

sqlite3_vfs* Register() {
  static sqlite3_vfs vfs = [] {
    sqlite3_vfs v{};
    v.iVersion = 2;
    v.szOsFile = static_cast<int>(GuardFile::Offset()) + Real()->szOsFile;
    v.mxPathname = Real()->mxPathname;
    v.zName = "kolvar-guarded";
    v.xOpen = Open;
    v.xDelete = Delete;
    v.xAccess = Access;
    v.xFullPathname = FullPathname;
    v.xDlOpen = DlOpen;
    v.xDlError = DlError;
    v.xDlSym = DlSym;
    v.xDlClose = DlClose;
    v.xRandomness = Randomness;
    v.xSleep = Sleep;
    v.xCurrentTime = CurrentTime;
    v.xGetLastError = GetLastError;
    v.xCurrentTimeInt64 = CurrentTimeInt64;
    return v;
  }();
  sqlite3_vfs_register(&vfs, 0);
  return &vfs;
}

}  // namespace

const char* GuardedVfsName() {
  static sqlite3_vfs* vfs = Register();
  return vfs->zName;
}

}  // namespace kolvar::db
