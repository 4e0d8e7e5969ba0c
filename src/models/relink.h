// Reading and writing the model object stream: the relink table through which stored object ids
// become pointers again, and the helpers that every model class's Serialize uses.
//
// In the stream an object names another by its 32-bit object id (CObject::GetObjectId), unless
// it holds it as an object reference. Classes that others point to record the id that they had
// when they were saved in one of the table's nine arrays while they are read; after the whole
// model is read its Relink walk turns every stored id into the object recorded with it.
//
// While a model is being read, the links are not in their fields yet: a field stays null and the
// table keeps the id until the relink walk reaches the field (DeferLink / RelinkField). So an
// object that a damaged file leaves half read can be deleted like any other, and a pole group
// only comes together once every pole of it has been read. A stored id with no record of the
// right class leaves the field null and counts as unresolved: such a file is damaged.
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "afx/afx.h"

class WallPole;
class WallPoleJoinInfo;

class RelinkTable {
public:
  // The nine arrays, in their order in the table, by the class whose pointers they resolve.
  enum Array {
    kSceneGroups = 0,
    kSceneNodes,
    kSceneMaterials,
    kAncestryObjects,
    kRooms,
    kWallFaceCells,
    kWalls,
    kWallPoles,
    kSpare,
    kArrayCount
  };

  // One record: the object read and the id that it had when it was saved.
  struct Record {
    const char* className;
    uint32_t oldId;
    CObject* newObject;
  };

  RelinkTable() = default;
  ~RelinkTable();
  RelinkTable(const RelinkTable&) = delete;
  RelinkTable& operator=(const RelinkTable&) = delete;

  void AddRecord(Array array, const char* className, uint32_t oldId, CObject* object);
  int GetRecordCount(Array array) const { return static_cast<int>(m_records[array].size()); }
  const Record& GetRecord(Array array, int i) const { return m_records[array][static_cast<size_t>(i)]; }
  // The object of the last record of the array with that old id, or null.
  CObject* Lookup(Array array, uint32_t oldId) const;
  // Deletes every record and empties the nine arrays.
  void Free();

  // A link read from the stream: the field is set to null and the id kept for the relink walk.
  template <class T>
  void DeferLink(T*& field, uint32_t storedId) {
    field = nullptr;
    if (storedId != 0) m_pending[static_cast<void*>(&field)] = storedId;
  }
  // Resolves a field read with DeferLink among the records of the array: the field becomes the
  // recorded object when there is one of the field's class, else null (and the id counts as
  // unresolved). A field with no id waiting (stored 0, or relinked before) is left as it is.
  template <class T>
  void RelinkField(T*& field, Array array) {
    auto it = m_pending.find(static_cast<void*>(&field));
    if (it == m_pending.end()) return;
    const uint32_t id = it->second;
    m_pending.erase(it);
    T* object = dynamic_cast<T*>(Lookup(array, id));
    if (object == nullptr) ++m_unresolved;
    field = object;
  }
  // Stored ids that named no object of the right class since the last ResetLoad.
  int GetUnresolvedCount() const { return m_unresolved; }

  // The join records of a pole group are shared by its poles: each pole owns only its own record
  // (its entry 0) and lists the others. While a model is read the table holds every record and
  // each pole's list; the relink walk hands a pole its list (TakeJoins). Once the plan is known
  // to be sound the poles own the records (ReleaseJoinRecords); otherwise DeleteJoinRecords
  // deletes them after the poles have let go of their lists.
  void AdoptJoinRecord(WallPoleJoinInfo* record) { m_joinRecords.push_back(record); }
  void DeferJoins(WallPole* pole, std::vector<WallPoleJoinInfo*> joins);
  std::vector<WallPoleJoinInfo*> TakeJoins(WallPole* pole);
  void ReleaseJoinRecords() { m_joinRecords.clear(); }
  void DeleteJoinRecords();

  // Forgets every record, waiting link and join list (deleting the join records held) and the
  // unresolved count: the state before a load.
  void ResetLoad();

private:
  std::vector<Record> m_records[kArrayCount];
  std::unordered_map<uint32_t, CObject*> m_index[kArrayCount];  // old id -> last record's object
  std::unordered_map<void*, uint32_t> m_pending;                // field -> stored id
  std::unordered_map<WallPole*, std::vector<WallPoleJoinInfo*>> m_joins;
  std::vector<WallPoleJoinInfo*> m_joinRecords;
  int m_unresolved = 0;
};

// The relink table of the document that the archive belongs to. Loading a model class needs one:
// without it the load fails with a CArchiveException.
RelinkTable& GetRelinkTable(CArchive& ar);

// ---- Stream items shared by the model classes ----

inline void WriteWord(CArchive& ar, uint32_t value) { ar << static_cast<UINT>(value); }
inline uint32_t ReadWord(CArchive& ar) {
  UINT value;
  ar >> value;
  return value;
}
inline void WriteInt(CArchive& ar, int32_t value) { ar << static_cast<int>(value); }
inline int32_t ReadInt(CArchive& ar) {
  int value;
  ar >> value;
  return value;
}
// An object's own id, or the id of the object that a pointer names (0 for none).
inline void WriteId(CArchive& ar, const CObject* object) {
  WriteWord(ar, object ? object->GetObjectId() : 0u);
}

// Throws the archive exception of a damaged stream.
[[noreturn]] void ThrowDamaged(CArchive& ar);

// An object reference to an object that the reader takes over: null, or an object new to the
// stream of the class (a second reference to an object read before is a damaged file).
CObject* ReadOwnedObject(CArchive& ar, const CRuntimeClass* cls);
template <class T>
T* ReadOwned(CArchive& ar, const CRuntimeClass* cls) {
  return static_cast<T*>(ReadOwnedObject(ar, cls));
}

// A collection of owned objects: the count, then one reference per element. Reading appends to
// the array; every element must be a new object of the class.
void WriteCollection(CArchive& ar, const CObArray& array);
void ReadOwnedCollection(CArchive& ar, CObArray& array, const CRuntimeClass* cls);
