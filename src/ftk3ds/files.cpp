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

FILE *Stream() { return current ? current->stream : nullptr; }

// Short read or write on the current file.
bool ReadBytes(void *to, size_t n) {
  FILE *f = Stream();
  if (n == 0) return true;
  if (!f || fread(to, 1, n, f) != n) {
    PushErrList3ds(ERR_READING_FILE);
    return false;
  }
  return true;
}

bool WriteBytes(const void *from, size_t n) {
  FILE *f = Stream();
  if (n == 0) return true;
  if (!f || fwrite(from, 1, n, f) != n) {
    PushErrList3ds(ERR_WRITING_FILE);
    return false;
  }
  return true;
}

void FreeEntry(File3ds *file) {
  if (!file) return;
  free(file->name);
  free(file->buffer);
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
  return true;
}

}  // namespace

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
FILE *GetCurrentStream3ds(void) { return Stream(); }
uint8_t GetFileIndex3ds(void) { return currentIndex; }

uint32_t FileTell3ds(void) {
  FILE *f = Stream();
  long position = f ? ftell(f) : -1;
  if (position < 0) {
    PushErrList3ds(ERR_READING_FILE);
    return 0;
  }
  return static_cast<uint32_t>(position);
}

void FileSeek3ds(uint32_t position) {
  FILE *f = Stream();
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
  return file;
}

void CloseFile3ds(File3ds *file) {
  if (!file) return;
  bool failed = false;
  if (file->stream) {
    failed = fclose(file->stream) != 0;
    file->stream = nullptr;
    if (file->removeOnClose) remove(file->name);
  }
  RemoveFileFromTable3ds(file);
  if (current == file) current = nullptr;
  FreeEntry(file);
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
  FILE *f = Stream();
  for (uint32_t i = 0; i < max; ++i) {
    int c = f ? getc(f) : EOF;
    if (c == EOF) {
      buffer[i] = '\0';
      PushErrList3ds(ERR_READING_FILE);
      return;
    }
    buffer[i] = static_cast<char>(c);
    if (c == 0) return;
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
