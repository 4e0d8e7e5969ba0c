// A reader of model files written from the stored layouts alone, for tests
// that must say what a file holds without asking the code under test: it walks the header and
// the Model's object reference record by record and lists every item with its role (plain data,
// an object's own id, a link to another object's id, a presence flag, a word of which only the
// high half is kept, a schema number). It knows the plan and mesh classes and a
// scene without objects (the scene classes are not in the model yet).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "afx/afx.h"

struct StreamItem {
  enum Kind {
    kData,     // compared byte for byte
    kSchema,   // the schema number of a class new to the stream (any is accepted)
    kSelfId,   // an object's own id that the reader records in relink array `array`
    kDropped,  // an object's own id that the reader drops
    kLink,     // the id of an object looked up among the records of relink array `array`
    kFlag,     // a presence flag: any value but 0 counts as 1
    kMasked,   // a word of which only the high 16 bits are kept
  };
  Kind kind;
  size_t offset;
  size_t size;
  int array;  // RelinkTable::Array for kSelfId and kLink, else -1
};

class ModelStreamWalk {
public:
  // Walks a whole model file. False, with the reason in `error`, when the bytes do not follow
  // the layout or bytes are left after the model.
  bool Walk(const std::vector<BYTE>& bytes);
  // The 32-bit value of a 4-byte item.
  uint32_t Word(const StreamItem& item) const;

  std::vector<StreamItem> items;
  std::string error;

private:
  struct Failure {};
  const std::vector<BYTE>* m_bytes = nullptr;
  size_t m_pos = 0;
  std::vector<std::string> m_classes;  // by stream index; "" for an object
  uint16_t m_modelSchema = 0;

  [[noreturn]] void Fail(const std::string& why);
  size_t Take(size_t n, StreamItem::Kind kind, int array = -1);
  uint32_t U32(StreamItem::Kind kind = StreamItem::kData, int array = -1);
  uint16_t U16(StreamItem::Kind kind = StreamItem::kData);
  void Bytes(size_t n) { Take(n, StreamItem::kData); }
  void String();
  // An object reference: the class of a new object (whose record is walked), or "" for a null
  // reference or one to an object stored before.
  std::string Reference(const std::vector<std::string>& allowed);
  void Collection(const std::vector<std::string>& allowed);
  void Record(const std::string& cls);

  void Model();
  void Frame();
  void Scene();
  void AncestryObject();
  void Mesh();
  void Board(bool withOwnId);
  void Bag(int level);  // 0 LibInstancesBag, 1 HoleInstancesBag, 2 WallHoleInstancesBag
  void Posture();
};
