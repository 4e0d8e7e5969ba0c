// File table, current file and binary primitives of the 3DS toolkit.
#include "ftk3ds/internal.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

using namespace ftk3ds;

namespace {

File3ds **table = nullptr;
uint8_t tableCount = 0;  // one past the highest slot ever used
File3ds *current = nullptr;
uint8_t currentIndex = 0;
const uint32_t kBufferSize = 8192;

// ---- The file's own buffer ----
//
// Every read and write of the toolkit goes through a view of the file: a window of its bytes
// and the position of the next read or write. Reading a chunk tree jumps from header to
// header; inside the window such a jump costs no system call. A file open for reading holds
// file content in the window; a file open for writing holds output not yet handed to the
// stream, so that chunk lengths written back into headers just written are patched in memory.

// A file is first read a whole window at a time, which holds all of a small file. After a jump
// elsewhere only a kilobyte is read, enough for a header and small data there: in a big file
// most jumps pass over big arrays, which are read straight into place when wanted.
const uint32_t kViewSize = 32768;
const uint32_t kJumpRead = 1024;
const uint64_t kUnknown = ~0ull;

}  // namespace

struct FileView3ds {
  uint8_t *bytes;
  uint32_t capacity;
  uint64_t start;     // file offset of bytes[0]
  uint32_t fill;      // bytes held from start on
  uint64_t position;  // offset of the next read or write
  uint64_t streamAt;  // where the stream is, kUnknown when not known
  bool lent;          // the stream was handed out: take the position from it again
};

namespace {

// The view of the last file closed, kept for the next file opened: opening many small files
// one after another then costs no new buffer each.
FileView3ds *spareView = nullptr;

FileView3ds *NewView() {
  if (FileView3ds *view = spareView) {
    spareView = nullptr;
    uint8_t *bytes = view->bytes;
    *view = FileView3ds{};
    view->bytes = bytes;
    view->capacity = kViewSize;
    return view;
  }
  FileView3ds *view = static_cast<FileView3ds *>(calloc(1, sizeof(FileView3ds)));
  if (!view) return nullptr;
  view->bytes = static_cast<uint8_t *>(malloc(kViewSize));
  if (!view->bytes) {
    free(view);
    return nullptr;
  }
  view->capacity = kViewSize;
  return view;
}

void FreeView(FileView3ds *view) {
  if (!view) return;
  if (!spareView) {
    spareView = view;
    return;
  }
  free(view->bytes);
  free(view);
}

bool Writing(const File3ds *file) { return file->mode == 2; }

bool SeekStream(File3ds *file, uint64_t offset) {
  FileView3ds *view = file->view;
  if (view->streamAt == offset) return true;
  view->streamAt = kUnknown;
  if (offset > static_cast<uint64_t>(LONG_MAX) || fseek(file->stream, static_cast<long>(offset), SEEK_SET) != 0)
    return false;
  view->streamAt = offset;
  return true;
}

size_t StreamRead(File3ds *file, uint64_t offset, void *to, size_t n) {
  if (!SeekStream(file, offset)) return 0;
  size_t got = fread(to, 1, n, file->stream);
  file->view->streamAt = got == n ? offset + n : kUnknown;
  return got;
}

bool StreamWrite(File3ds *file, uint64_t offset, const void *from, size_t n) {
  if (!SeekStream(file, offset)) return false;
  bool ok = fwrite(from, 1, n, file->stream) == n;
  file->view->streamAt = ok ? offset + n : kUnknown;
  return ok;
}

// Hands output held in the buffer to the stream; false when that fails.
bool Flush(File3ds *file) {
  FileView3ds *view = file->view;
  if (!view || !Writing(file) || view->fill == 0) return true;
  uint32_t fill = view->fill;
  view->fill = 0;
  return StreamWrite(file, view->start, view->bytes, fill);
}

// The view of the current file, in step with its stream; null when the file has none.
FileView3ds *CurrentView() {
  if (!current || !current->stream || !current->view) return nullptr;
  FileView3ds *view = current->view;
  if (view->lent) {
    view->lent = false;
    long at = ftell(current->stream);
    view->streamAt = at >= 0 ? static_cast<uint64_t>(at) : kUnknown;
    if (at >= 0) view->position = static_cast<uint64_t>(at);
    view->fill = 0;
  }
  return view;
}

// Reads through the window; big blocks go straight into place.
bool ViewRead(File3ds *file, uint8_t *to, size_t n) {
  FileView3ds *view = file->view;
  if (Writing(file)) {
    if (!Flush(file)) return false;
    size_t got = StreamRead(file, view->position, to, n);
    view->position += got;
    return got == n;
  }
  while (n > 0) {
    if (view->position >= view->start && view->position < view->start + view->fill) {
      size_t offset = static_cast<size_t>(view->position - view->start);
      size_t part = n < view->fill - offset ? n : view->fill - offset;
      memcpy(to, view->bytes + offset, part);
      to += part;
      n -= part;
      view->position += part;
    } else if (n >= kJumpRead) {
      size_t got = StreamRead(file, view->position, to, n);
      view->position += got;
      return got == n;
    } else {
      bool onward = view->fill == 0 || view->position == view->start + view->fill;
      uint32_t size = onward ? view->capacity : kJumpRead;
      view->start = view->position;
      view->fill = static_cast<uint32_t>(StreamRead(file, view->position, view->bytes, size));
      if (view->fill == 0) return false;
    }
  }
  return true;
}

// Writes into the buffer while the output stays one run of bytes; big blocks go straight out.
bool ViewWrite(File3ds *file, const uint8_t *from, size_t n) {
  FileView3ds *view = file->view;
  if (!Writing(file)) {
    view->fill = 0;
    bool ok = StreamWrite(file, view->position, from, n);
    if (ok) view->position += n;
    return ok;
  }
  bool inside = view->position >= view->start && view->position <= view->start + view->fill;
  if (inside && view->position - view->start + n <= view->capacity) {
    size_t offset = static_cast<size_t>(view->position - view->start);
    memcpy(view->bytes + offset, from, n);
    if (offset + n > view->fill) view->fill = static_cast<uint32_t>(offset + n);
    view->position += n;
    return true;
  }
  if (!Flush(file)) return false;
  if (n >= view->capacity) {
    if (!StreamWrite(file, view->position, from, n)) return false;
  } else {
    view->start = view->position;
    memcpy(view->bytes, from, n);
    view->fill = static_cast<uint32_t>(n);
  }
  view->position += n;
  return true;
}

bool ReadBytes(void *to, size_t n) {
  if (n == 0) return true;
  // Most reads are a few bytes inside the window.
  FileView3ds *view = current ? current->view : nullptr;
  if (view && !view->lent && !Writing(current) && view->position >= view->start &&
      view->position + n <= view->start + view->fill) {
    memcpy(to, view->bytes + (view->position - view->start), n);
    view->position += n;
    return true;
  }
  bool ok;
  if (CurrentView()) {
    ok = ViewRead(current, static_cast<uint8_t *>(to), n);
  } else {
    FILE *f = current ? current->stream : nullptr;
    ok = f && fread(to, 1, n, f) == n;
  }
  if (!ok) PushErrList3ds(ERR_READING_FILE);
  return ok;
}

bool WriteBytes(const void *from, size_t n) {
  if (n == 0) return true;
  bool ok;
  if (CurrentView()) {
    ok = ViewWrite(current, static_cast<const uint8_t *>(from), n);
  } else {
    FILE *f = current ? current->stream : nullptr;
    ok = f && fwrite(from, 1, n, f) == n;
  }
  if (!ok) PushErrList3ds(ERR_WRITING_FILE);
  return ok;
}

void FreeEntry(File3ds *file) {
  if (!file) return;
  free(file->name);
  free(file->buffer);
  FreeView(file->view);
  free(file);
}

// Takes a new entry out of the table again and frees it.
void Discard(File3ds *file) {
  RemoveFileFromTable3ds(file);
  FreeEntry(file);
}

void GiveBuffer(File3ds *file) {
  if (file->stream && file->buffer && file->bufferSize > 0)
    setvbuf(file->stream, reinterpret_cast<char *>(file->buffer), _IOFBF, file->bufferSize);
}

bool Exists(const std::string &path) {
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return false;
  fclose(f);
  return true;
}

// A name for the moved-aside content in the same folder as the file.
std::string TemporaryPath(const std::string &name) {
  size_t cut = name.find_last_of("\\/:");
  std::string dir = cut == std::string::npos ? std::string() : name.substr(0, cut + 1);
  static unsigned serial = 0;
  unsigned seed = static_cast<unsigned>(time(nullptr)) ^
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(&serial) >> 4);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char base[40];
    snprintf(base, sizeof base, "~ftk%08x%04x.tmp", seed, ++serial & 0xFFFF);
    std::string path = dir + base;
    if (!Exists(path)) return path;
  }
  return std::string();
}

// Moves the content of an entry open for reading to a temporary file in the same folder,
// so that its path can be written while chunks still read from the old content.
bool MoveAside(File3ds *file) {
  long position = file->stream ? ftell(file->stream) : 0;
  if (position < 0) position = 0;
  if (file->stream) {
    int failed = fclose(file->stream);
    file->stream = nullptr;
    if (failed) {
      PushErrList3ds(ERR_CLOSING_FILE);
      return false;
    }
  }
  std::string temp = TemporaryPath(file->name);
  if (temp.empty() || rename(file->name, temp.c_str()) != 0) {
    PushErrList3ds(ERR_OPENING_FILE);
    file->stream = fopen(file->name, "rb");  // keep serving reads from where it was
    GiveBuffer(file);
    if (file->stream) fseek(file->stream, position, SEEK_SET);
    if (file->view) file->view->streamAt = file->stream ? static_cast<uint64_t>(position) : kUnknown;
    return false;
  }
  char *copy = CopyString(temp.c_str(), temp.size());
  if (!copy) {
    remove(temp.c_str());
    return false;
  }
  free(file->name);
  file->name = copy;
  file->removeOnClose = 1;
  file->stream = fopen(file->name, "rb");
  if (!file->stream) {
    PushErrList3ds(ERR_OPENING_FILE);
    return false;
  }
  GiveBuffer(file);
  fseek(file->stream, position, SEEK_SET);
  if (file->view) file->view->streamAt = static_cast<uint64_t>(position);
  return true;
}

}  // namespace

bool ftk3ds::FlushCurrentFile() {
  if (!CurrentView() || Flush(current)) return true;
  PushErrList3ds(ERR_WRITING_FILE);
  return false;
}

extern "C" {

File3ds *InitFile3ds(void) {
  File3ds *file = static_cast<File3ds *>(calloc(1, sizeof(File3ds)));
  if (!file) {
    PushErrList3ds(ERR_NO_MEM);
    return nullptr;
  }
  file->index = NO_FILE_INDEX3DS;
  return file;
}

void InitFileTable3ds(void) {
  if (table) return;
  table = static_cast<File3ds **>(calloc(FILE_TABLE_SIZE3DS, sizeof(File3ds *)));
  if (!table) PushErrList3ds(ERR_NO_MEM);
  tableCount = 0;
  currentIndex = 0;
}

void ReleaseFileTable3ds(void) {
  free(table);
  table = nullptr;
  tableCount = 0;
  currentIndex = 0;
  current = nullptr;
}

void AddFileToTable3ds(File3ds *file) {
  if (!file) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!table) InitFileTable3ds();
  if (!table) return;
  uint32_t slot = tableCount;
  for (uint32_t i = 0; i < tableCount; ++i) {
    if (!table[i]) {
      slot = i;
      break;
    }
  }
  if (slot >= FILE_TABLE_SIZE3DS) {
    PushErrList3ds(ERR_TOO_MANY_FILES);
    return;
  }
  table[slot] = file;
  file->index = static_cast<uint8_t>(slot);
  if (slot == tableCount) ++tableCount;
}

void RemoveFileFromTable3ds(File3ds *file) {
  if (!file || !table || file->index >= tableCount) return;
  if (table[file->index] == file) {
    table[file->index] = nullptr;
    if (current == file) current = nullptr;
    file->index = NO_FILE_INDEX3DS;
  }
}

File3ds *GetFileByIndex3ds(uint32_t index) {
  if (!table || index >= tableCount) return nullptr;
  return table[index];
}

File3ds *FindFileByName3ds(const char *name) {
  if (!table || !name) return nullptr;
  for (uint32_t i = 0; i < tableCount; ++i)
    if (table[i] && table[i]->name && strcmp(table[i]->name, name) == 0) return table[i];
  return nullptr;
}

uint8_t FileIsOpen3ds(uint32_t index) {
  return index < NO_FILE_INDEX3DS && GetFileByIndex3ds(index) != nullptr;
}

void SetContext3ds(File3ds *file) {
  current = file;
  currentIndex = file ? file->index : 0;
}

void SetContextByIndex3ds(uint32_t index) {
  if (index < tableCount) SetContext3ds(GetFileByIndex3ds(index));
}

File3ds *GetContext3ds(void) { return current; }
FILE *GetCurrentStream3ds(void) {
  if (!CurrentView()) return current ? current->stream : nullptr;
  // The caller works on the stream itself: it gets the output so far and the position.
  if (!Flush(current)) PushErrList3ds(ERR_WRITING_FILE);
  SeekStream(current, current->view->position);
  current->view->lent = true;
  return current->stream;
}
uint8_t GetFileIndex3ds(void) { return currentIndex; }

uint32_t FileTell3ds(void) {
  if (FileView3ds *view = CurrentView()) {
    if (view->position <= 0xFFFFFFFFull) return static_cast<uint32_t>(view->position);
    PushErrList3ds(ERR_READING_FILE);
    return 0;
  }
  FILE *f = current ? current->stream : nullptr;
  long position = f ? ftell(f) : -1;
  if (position < 0) {
    PushErrList3ds(ERR_READING_FILE);
    return 0;
  }
  return static_cast<uint32_t>(position);
}

void FileSeek3ds(uint32_t position) {
  if (FileView3ds *view = CurrentView()) {
    if (position > static_cast<uint32_t>(LONG_MAX))
      PushErrList3ds(ERR_READING_FILE);
    else
      view->position = position;
    return;
  }
  FILE *f = current ? current->stream : nullptr;
  if (!f || position > static_cast<uint32_t>(LONG_MAX) ||
      fseek(f, static_cast<long>(position), SEEK_SET) != 0)
    PushErrList3ds(ERR_READING_FILE);
}

File3ds *OpenFile3ds(const char *name, const char *mode) {
  if (!name || !mode) {
    PushErrList3ds(ERR_INVALID_ARG);
    return nullptr;
  }
  File3ds *existing = FindFileByName3ds(name);
  File3ds *file = InitFile3ds();
  if (!file || Failed()) {
    PushErrList3ds(ERR_INIT_FAILED);
    FreeEntry(file);
    return nullptr;
  }
  AddFileToTable3ds(file);
  if (file->index == NO_FILE_INDEX3DS) {
    FreeEntry(file);
    return nullptr;
  }
  file->name = CopyString(name, strlen(name));
  if (!file->name) {
    Discard(file);
    return nullptr;
  }
  size_t length = strnlen(mode, 32);
  if (length > 31) {
    PushErrList3ds(ERR_STRING_TOO_LONG);
    length = 0;
  }
  for (size_t i = 0; i < length; ++i) {
    if (mode[i] == 'r') {
      file->mode = 1;
      break;
    }
    if (mode[i] == 'w') {
      file->mode = 2;
      break;
    }
  }
  if (file->mode == 0) {
    PushErrList3ds(ERR_INIT_FAILED);
    Discard(file);
    return nullptr;
  }
  if (existing) {
    if (existing->mode == file->mode) {
      Discard(file);
      return existing;
    }
    if (existing->mode & 1) {
      if (!MoveAside(existing) && !ignoreftkerr3ds) {
        Discard(file);
        return nullptr;
      }
    } else {
      CloseFile3ds(existing);
    }
  }
  file->stream = fopen(name, file->mode == 2 ? "wb" : "rb");
  if (!file->stream) {
    PushErrList3ds(ERR_OPENING_FILE);
    Discard(file);
    return nullptr;
  }
  file->buffer = static_cast<uint8_t *>(malloc(kBufferSize));
  if (file->buffer) {
    file->bufferSize = kBufferSize;
    GiveBuffer(file);
  }
  // Without a view of its own (no memory) the file is read and written on the stream directly.
  file->view = NewView();
  return file;
}

void CloseFile3ds(File3ds *file) {
  if (!file) return;
  bool failed = false;
  bool unwritten = file->stream && !Flush(file);
  if (file->stream) {
    failed = fclose(file->stream) != 0;
    file->stream = nullptr;
    if (file->removeOnClose) remove(file->name);
  }
  RemoveFileFromTable3ds(file);
  if (current == file) current = nullptr;
  FreeEntry(file);
  if (unwritten) PushErrList3ds(ERR_WRITING_FILE);
  if (failed) PushErrList3ds(ERR_CLOSING_FILE);
}

void CloseAllFiles3ds(void) {
  if (table) {
    for (uint32_t i = 0; i < tableCount; ++i) {
      if (!table[i]) continue;
      // Stops only at a failure of this close: a flag left over from earlier work must
      // not keep the other files open.
      uint32_t serial = ErrorSerial();
      CloseFile3ds(table[i]);
      if (ErrorSerial() != serial && !ignoreftkerr3ds) return;
    }
  }
  ReleaseFileTable3ds();
}

// ---- Primitives ----

void ByteOrderLong3ds(void *to, const void *from) { memcpy(to, from, 4); }
void ByteOrderShort3ds(void *to, const void *from) { memcpy(to, from, 2); }
void ByteOrderFloat3ds(void *to, const void *from) { memcpy(to, from, 4); }

uint8_t ReadUByte3ds(void) {
  uint8_t value = 0;
  if (!ReadBytes(&value, 1)) return 0;
  return value;
}

int8_t ReadByte3ds(void) { return static_cast<int8_t>(ReadUByte3ds()); }

uint16_t ReadUShort3ds(void) {
  uint8_t raw[2];
  if (!ReadBytes(raw, 2)) return 0;
  uint16_t value;
  ByteOrderShort3ds(&value, raw);
  return value;
}

int16_t ReadShort3ds(void) { return static_cast<int16_t>(ReadUShort3ds()); }

uint32_t ReadULong3ds(void) {
  uint8_t raw[4];
  if (!ReadBytes(raw, 4)) return 0;
  uint32_t value;
  ByteOrderLong3ds(&value, raw);
  return value;
}

int32_t ReadLong3ds(void) { return static_cast<int32_t>(ReadULong3ds()); }

float ReadFloat3ds(void) {
  uint8_t raw[4];
  if (!ReadBytes(raw, 4)) return 0.0f;
  float value;
  ByteOrderFloat3ds(&value, raw);
  return value;
}

void WriteUByte3ds(uint8_t value) { WriteBytes(&value, 1); }
void WriteByte3ds(int8_t value) { WriteUByte3ds(static_cast<uint8_t>(value)); }

void WriteUShort3ds(uint16_t value) {
  uint8_t raw[2];
  ByteOrderShort3ds(raw, &value);
  WriteBytes(raw, 2);
}

void WriteShort3ds(int16_t value) { WriteUShort3ds(static_cast<uint16_t>(value)); }

void WriteULong3ds(uint32_t value) {
  uint8_t raw[4];
  ByteOrderLong3ds(raw, &value);
  WriteBytes(raw, 4);
}

void WriteLong3ds(int32_t value) { WriteULong3ds(static_cast<uint32_t>(value)); }

void WriteFloat3ds(float value) {
  uint8_t raw[4];
  ByteOrderFloat3ds(raw, &value);
  WriteBytes(raw, 4);
}

void ReadPoint3ds(Point3ds *point) {
  if (!point) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  point->x = ReadFloat3ds();
  point->y = ReadFloat3ds();
  point->z = ReadFloat3ds();
}

void WritePoint3ds(const Point3ds *point) {
  if (!point) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  WriteFloat3ds(point->x);
  WriteFloat3ds(point->y);
  WriteFloat3ds(point->z);
}

void ReadTexVert3ds(TexVert3ds *uv) {
  if (!uv) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  uv->u = ReadFloat3ds();
  uv->v = ReadFloat3ds();
}

void WriteTexVert3ds(const TexVert3ds *uv) {
  if (!uv) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  WriteFloat3ds(uv->u);
  WriteFloat3ds(uv->v);
}

void ReadFace3ds(Face3ds *face) {
  if (!face) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  face->v1 = ReadUShort3ds();
  face->v2 = ReadUShort3ds();
  face->v3 = ReadUShort3ds();
  face->flag = ReadUShort3ds();
}

void WriteFace3ds(const Face3ds *face) {
  if (!face) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  WriteUShort3ds(face->v1);
  WriteUShort3ds(face->v2);
  WriteUShort3ds(face->v3);
  WriteUShort3ds(face->flag);
}

void ReadTrackHeader3ds(uint16_t *flags, uint32_t *reserved1, uint32_t *reserved2,
                        uint32_t *keyCount) {
  if (!flags || !reserved1 || !reserved2 || !keyCount) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *flags = ReadUShort3ds();
  *reserved1 = ReadULong3ds();
  *reserved2 = ReadULong3ds();
  *keyCount = ReadULong3ds();
}

void WriteTrackHeader3ds(uint16_t flags, uint32_t reserved1, uint32_t reserved2,
                         uint32_t keyCount) {
  WriteUShort3ds(flags);
  WriteULong3ds(reserved1);
  WriteULong3ds(reserved2);
  WriteULong3ds(keyCount);
}

void ReadKeyHeader3ds(KeyHeader3ds *key) {
  if (!key) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  key->frame = ReadULong3ds();
  key->splineFlags = ReadUShort3ds();
  float *values[5] = {&key->tension, &key->continuity, &key->bias, &key->easeTo, &key->easeFrom};
  for (int bit = 0; bit < 5; ++bit) *values[bit] = (key->splineFlags >> bit & 1) ? ReadFloat3ds() : 0.0f;
}

void WriteKeyHeader3ds(const KeyHeader3ds *key) {
  if (!key) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  WriteULong3ds(key->frame);
  WriteUShort3ds(key->splineFlags);
  const float values[5] = {key->tension, key->continuity, key->bias, key->easeTo, key->easeFrom};
  for (int bit = 0; bit < 5; ++bit)
    if (key->splineFlags >> bit & 1) WriteFloat3ds(values[bit]);
}

void ReadString3ds(char *buffer, uint32_t max) {
  if (!buffer || max == 0) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  buffer[0] = '\0';
  for (uint32_t i = 0; i < max; ++i) {
    if (!ReadBytes(&buffer[i], 1)) {
      buffer[i] = '\0';
      return;
    }
    if (buffer[i] == '\0') return;
  }
  buffer[max - 1] = '\0';
  PushErrList3ds(ERR_READING_FILE);
}

char *ReadStringAlloc3ds(uint32_t max) {
  std::string scratch(static_cast<size_t>(max) + 1, '\0');
  uint32_t serial = ErrorSerial();
  ReadString3ds(&scratch[0], max + 1);
  if (ErrorSerial() != serial && !ignoreftkerr3ds) return nullptr;
  return CopyString(scratch.c_str(), max);
}

void ReadFixedString3ds(char *buffer, uint32_t n) {
  if (!buffer || n == 0) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!ReadBytes(buffer, n)) {
    buffer[0] = '\0';
    return;
  }
  if (!memchr(buffer, 0, n)) {
    buffer[n - 1] = '\0';
    PushErrList3ds(ERR_READING_FILE);
  }
}

void WriteString3ds(const char *text) {
  if (!text) text = "";
  WriteBytes(text, strlen(text) + 1);
}

void WriteFixedString3ds(const char *text, uint32_t n) {
  if (!text) text = "";
  size_t length = strlen(text);
  if (!WriteBytes(text, length)) return;
  static const char zeros[64] = {};
  for (size_t left = length < n ? n - length : 0; left > 0;) {
    size_t part = left < sizeof zeros ? left : sizeof zeros;
    if (!WriteBytes(zeros, part)) return;
    left -= part;
  }
}

void ReadVoid3ds(uint32_t size, void *buffer) {
  if (size > 0 && !buffer) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  ReadBytes(buffer, size);
}

void WriteVoid3ds(uint32_t size, const void *buffer) {
  if (size > 0 && !buffer) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  WriteBytes(buffer, size);
}

void ReadHeader3ds(uint32_t *tag, uint32_t *length) {
  if (!tag || !length) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  *tag = ReadUShort3ds();
  *length = ReadULong3ds();
}

void WriteHeader3ds(uint32_t tag, uint32_t length) {
  WriteUShort3ds(static_cast<uint16_t>(tag));
  WriteULong3ds(length);
}

void FinishHeader3ds(uint32_t start, uint32_t end) {
  FileSeek3ds(start + 2);
  WriteULong3ds(end - start);
  FileSeek3ds(end);
}

}  // extern "C"
