#include "models/library.h"

#include <cstdlib>
#include <memory>
#include <new>

#include "models/fileutil.h"
#include "models/planhost.h"
#include "models/relink.h"

IMPLEMENT_SERIAL(Library, CObject, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(LibraryDatabase, CObject, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr const char kCannotWrite[] = "라이브러리에 대한 정보를 얻을수가 없습니다.";
constexpr unsigned kCannotWriteStyle = 0x2020;  // task-modal, question icon

// The leading digits of a text as a number (0 when there are none), and whether it is 0 or more.
bool SuffixIsNumber(const CString& suffix) {
  return std::strtol(suffix, nullptr, 10) >= 0;
}

void WriteEntryList(CArchive& ar, const CObList& entries) {
  ar.WriteCount(static_cast<DWORD>(entries.GetCount()));
  for (POSITION p = entries.GetHeadPosition(); p;) ar.WriteObject(entries.GetNext(p));
}

// Appends the entries of a list to the end of the entries.
void ReadEntryList(CArchive& ar, CObList& entries) {
  const DWORD count = ar.ReadCount();
  for (DWORD i = 0; i < count; ++i) {
    CObject* entry = ReadOwnedObject(ar, RUNTIME_CLASS(Library));
    if (!entry) ThrowDamaged(ar);
    entries.AddTail(entry);
  }
}

void DeleteEntries(CObList& entries) {
  while (!entries.IsEmpty()) delete entries.RemoveHead();
}

// Writes one entry file; the message when it cannot be written.
template <class Write>
void StoreFile(const CString& path, Write write) {
  if (path.IsEmpty()) return;  // no database folder
  if (FileExists(path)) SetArchiveAttribute(path);
  CFile file;
  bool written = false;
  if (file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
    try {
      CArchive ar(&file, CArchive::store, 4096);
      write(ar);
      ar.Close();
      file.Close();
      written = true;
    } catch (CException* e) {
      e->Delete();
      file.Abort();
    }
  }
  if (!written) GetPlanHost().ShowUnownedMessage(path + kCannotWrite, kPlanCaption, kCannotWriteStyle);
}

// Reads one entry file when it opens; a damaged one throws to the list's loader.
template <class Read>
void LoadFile(const CString& path, Read read) {
  CFile file;
  if (path.IsEmpty() || !file.Open(path, CFile::modeRead)) return;
  CArchive ar(&file, CArchive::load, 4096);
  read(ar);
}

template <class T>
void Set(T& field, const std::optional<T>& value) {
  if (value) field = *value;
}

}  // namespace

// ---- Entries ----

Library::Library(const Library& other) : CObject() { *this = other; }

Library& Library::operator=(const Library& other) {
  m_name = other.m_name;
  m_modelKey = other.m_modelKey;
  for (int i = 0; i < 2; ++i) {
    m_strings[i] = other.m_strings[i];
    m_words[i] = other.m_words[i];
    m_moreStrings[i] = other.m_moreStrings[i];
  }
  m_fileName = other.m_fileName;
  m_title = other.m_title;
  for (int i = 0; i < 3; ++i) {
    m_flags[i] = other.m_flags[i];
    m_sizes[i] = other.m_sizes[i];
  }
  m_lastWord = other.m_lastWord;
  return *this;
}

void Library::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_name << m_modelKey << m_strings[0] << m_strings[1];
    WriteWord(ar, m_words[0]);
    WriteWord(ar, m_words[1]);
    ar << m_moreStrings[0] << m_moreStrings[1] << m_fileName << m_title;
    for (uint32_t w : m_flags) WriteWord(ar, w);
    for (float s : m_sizes) ar << s;
    WriteWord(ar, m_lastWord);
  } else {
    ar >> m_name >> m_modelKey >> m_strings[0] >> m_strings[1];
    m_words[0] = ReadWord(ar);
    m_words[1] = ReadWord(ar);
    ar >> m_moreStrings[0] >> m_moreStrings[1] >> m_fileName >> m_title;
    for (uint32_t& w : m_flags) w = ReadWord(ar);
    for (float& s : m_sizes) ar >> s;
    m_lastWord = ReadWord(ar);
  }
}

LibraryEntryValues LibraryEntryValues::From(const Library& e) {
  LibraryEntryValues v;
  v.name = e.m_name;
  v.modelKey = e.m_modelKey;
  for (int i = 0; i < 2; ++i) {
    v.strings[i] = e.m_strings[i];
    v.words[i] = e.m_words[i];
    v.moreStrings[i] = e.m_moreStrings[i];
  }
  v.fileName = e.m_fileName;
  v.title = e.m_title;
  for (int i = 0; i < 3; ++i) {
    v.flags[i] = e.m_flags[i];
    v.sizes[i] = e.m_sizes[i];
  }
  v.lastWord = e.m_lastWord;
  return v;
}

// ---- Categories ----

LibraryDatabase::~LibraryDatabase() { DeleteEntries(m_entries); }

CString LibraryDatabase::GetMainFilePath() const {
  const CString folder = GetPlanHost().GetDatabaseDir();
  return folder.IsEmpty() ? folder : folder + "T" + FileSafeName(m_categoryName) + ".Lib";
}

CString LibraryDatabase::GetUserFilePath() const {
  const CString folder = GetPlanHost().GetDatabaseDir();
  return folder.IsEmpty() ? folder : folder + "TU" + FileSafeName(m_categoryName) + ".Lib";
}

int LibraryDatabase::AddCopy(const Library& source, bool noCount) {
  Library* copy = new (std::nothrow) Library(source);
  if (!copy) return 0;
  m_entries.AddTail(copy);
  if (!noCount) ++m_entryCounter;
  return 1;
}

int LibraryDatabase::SplitOffEntries(CObList& out, bool wanted) {
  const int prefix = m_categoryName.GetLength();
  for (POSITION p = m_entries.GetHeadPosition(); p;) {
    const Library* entry = static_cast<const Library*>(m_entries.GetNext(p));
    if (SuffixIsNumber(entry->m_name.Mid(std::min(prefix, entry->m_name.GetLength()))) != wanted)
      continue;
    const CString name = entry->m_name;
    out.AddTail(new Library(*entry));
    RemoveEntry(name);
  }
  return static_cast<int>(out.GetCount());
}

int LibraryDatabase::AddEntry(const LibraryEntryValues& v, Library* existing) {
  std::unique_ptr<Library> created;
  Library* entry = existing;
  if (!entry) {
    created.reset(new (std::nothrow) Library);
    if (!created) return 0;
    entry = created.get();
  }
  Set(entry->m_name, v.name);
  Set(entry->m_modelKey, v.modelKey);
  for (int i = 0; i < 2; ++i) {
    Set(entry->m_strings[i], v.strings[i]);
    Set(entry->m_words[i], v.words[i]);
    Set(entry->m_moreStrings[i], v.moreStrings[i]);
  }
  Set(entry->m_fileName, v.fileName);
  Set(entry->m_title, v.title);
  for (int i = 0; i < 3; ++i) {
    Set(entry->m_flags[i], v.flags[i]);
    Set(entry->m_sizes[i], v.sizes[i]);
  }
  Set(entry->m_lastWord, v.lastWord);
  if (created) {
    m_entries.AddTail(created.release());
    ++m_entryCounter;
  }
  return 1;
}

int LibraryDatabase::UpdateEntry(const char* name, const Library& source) {
  if (Library* entry = FindEntryByName(name)) {
    AddEntry(LibraryEntryValues::From(source), entry);
    return 1;
  }
  AddCopy(source, false);
  return 0;
}

int LibraryDatabase::RemoveEntry(const char* name) {
  POSITION position = nullptr;
  if (Library* entry = FindEntryByName(name, &position)) {
    m_entries.RemoveAt(position);
    delete entry;
  }
  return 0;
}

Library* LibraryDatabase::FindBy(Key key, const char* text, POSITION* position) const {
  if (!text) return nullptr;
  for (POSITION p = m_entries.GetHeadPosition(); p;) {
    const POSITION here = p;
    Library* entry = static_cast<Library*>(const_cast<CObList&>(m_entries).GetNext(p));
    if ((entry->*key).CompareNoCase(text) != 0) continue;
    if (position) *position = here;
    return entry;
  }
  return nullptr;
}

Library* LibraryDatabase::FindEntryByName(const char* name, POSITION* position) const {
  return FindBy(&Library::m_name, name, position);
}

Library* LibraryDatabase::FindByFileName(const char* text, POSITION* position) const {
  return FindBy(&Library::m_fileName, text, position);
}

Library* LibraryDatabase::FindByTitle(const char* text, POSITION* position) const {
  return FindBy(&Library::m_title, text, position);
}

int LibraryDatabase::CopyMatching(LibraryDatabase& target, const char* modelKey) const {
  target.m_categoryName = m_categoryName;
  for (int i = 0; i < 3; ++i) target.m_categoryStrings[i] = m_categoryStrings[i];
  target.m_category = m_category;
  target.m_entryCounter = m_entryCounter;
  for (int i = 0; i < 6; ++i) target.m_idCounters[i] = m_idCounters[i];
  target.m_lastWord = m_lastWord;
  for (POSITION p = m_entries.GetHeadPosition(); p;) {
    const Library* entry = static_cast<const Library*>(m_entries.GetNext(p));
    if (modelKey && entry->m_modelKey.CompareNoCase(modelKey) == 0) target.AddCopy(*entry, true);
  }
  return target.GetEntryCount();
}

void LibraryDatabase::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteWord(ar, m_category);
    WriteWord(ar, m_entryCounter);
    for (uint32_t w : m_idCounters) WriteWord(ar, w);
    WriteInt(ar, m_lastWord);
    ar << m_categoryStrings[0] << m_categoryStrings[1] << m_categoryStrings[2] << m_categoryName;
    m_ids.Serialize(ar);
    StoreEntryFiles();
    return;
  }
  if (ar.GetObjectSchema() < 2) {
    // Lists written before the entry files kept their entries in the list.
    ReadEntryList(ar, m_entries);
    m_ids.Serialize(ar);
  }
  m_category = ReadWord(ar);
  m_entryCounter = ReadWord(ar);
  for (uint32_t& w : m_idCounters) w = ReadWord(ar);
  m_lastWord = ReadInt(ar);
  ar >> m_categoryStrings[0] >> m_categoryStrings[1] >> m_categoryStrings[2] >> m_categoryName;
  if (ar.GetObjectSchema() < 2) return;
  m_ids.Serialize(ar);
  LoadEntryFiles();
}

void LibraryDatabase::StoreEntryFiles() {
  CObList moved;
  SplitOffEntries(moved, true);
  StoreFile(GetMainFilePath(), [this](CArchive& ar) { WriteEntryList(ar, m_entries); });
  const CString user = GetUserFilePath();
  if (FileExists(user)) SetArchiveAttribute(user);
  if (!moved.IsEmpty()) {
    StoreFile(user, [this, &moved](CArchive& ar) {
      WriteWord(ar, m_entryCounter);
      WriteEntryList(ar, moved);
    });
  } else {
    RemoveFile(user);
  }
  DeleteEntries(moved);
}

void LibraryDatabase::LoadEntryFiles() {
  LoadFile(GetMainFilePath(), [this](CArchive& ar) { ReadEntryList(ar, m_entries); });
  LoadFile(GetUserFilePath(), [this](CArchive& ar) {
    m_entryCounter = ReadWord(ar);
    ReadEntryList(ar, m_entries);
  });
}

// ---- The list ----

LibraryDatabaseList::~LibraryDatabaseList() {
  while (!IsEmpty()) delete RemoveHead();
}

void LibraryDatabaseList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteEntryList(ar, *this);
    return;
  }
  const DWORD count = ar.ReadCount();
  for (DWORD i = 0; i < count; ++i) {
    CObject* category = ReadOwnedObject(ar, RUNTIME_CLASS(LibraryDatabase));
    if (!category) ThrowDamaged(ar);
    AddTail(category);
  }
}

LibraryDatabase* LibraryDatabaseList::FindCategory(uint32_t category) const {
  for (POSITION p = GetHeadPosition(); p;) {
    LibraryDatabase* db = static_cast<LibraryDatabase*>(const_cast<LibraryDatabaseList*>(this)->GetNext(p));
    if (db->m_category == category) return db;
  }
  return nullptr;
}
