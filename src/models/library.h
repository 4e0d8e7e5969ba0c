// The library database: a list of categories ("TLibrary.lib" in the database folder), each with
// its entries kept in one or two entry files of its own: "T<category>.Lib" for the library's
// entries and "TU<category>.Lib" for the user's (entries whose name after the category name
// reads as a number of 0 or more).
#pragma once
#include <cstdint>
#include <optional>

#include "afx/afx.h"

// One library model or material.
class Library : public CObject {
  DECLARE_SERIAL(Library)
public:
  Library() = default;
  Library(const Library& other);
  Library& operator=(const Library& other);

  // The four strings, the two words, the next four strings, the three words, the three sizes
  // and the last word.
  void Serialize(CArchive& ar) override;

  CString GetName() const { return m_name; }
  CString GetFileName() const { return m_fileName; }
  // The model file of the mirrored model: the entry's title.
  CString GetInverseFileName() const { return m_title; }

  CString m_name;      // unique within its category: the category name and a count
  CString m_modelKey;  // the kind of model, e.g. a door kind's name
  CString m_strings[2];
  uint32_t m_words[2] = {0, 0};
  CString m_moreStrings[2];
  CString m_fileName;
  CString m_title;
  uint32_t m_flags[3] = {0, 0, 0};
  float m_sizes[3] = {100.0f, 100.0f, 100.0f};
  uint32_t m_lastWord = 0;
};

// Values for LibraryDatabase::AddEntry: every field that is set is given to the entry.
struct LibraryEntryValues {
  std::optional<CString> name, modelKey, strings[2];
  std::optional<uint32_t> words[2];
  std::optional<CString> moreStrings[2], fileName, title;
  std::optional<uint32_t> flags[3];
  std::optional<float> sizes[3];
  std::optional<uint32_t> lastWord;

  // Every field of an entry.
  static LibraryEntryValues From(const Library& entry);
};

// One category of the library and its entries.
class LibraryDatabase : public CObject {
  DECLARE_SERIAL(LibraryDatabase)
public:
  LibraryDatabase() = default;
  // Deletes its entries.
  ~LibraryDatabase() override;
  LibraryDatabase(const LibraryDatabase&) = delete;
  LibraryDatabase& operator=(const LibraryDatabase&) = delete;

  // The nine words and four strings in the list's stream; the entries in the category's entry
  // files. Saving moves the user's entries out of the list into the user file.
  void Serialize(CArchive& ar) override;

  // A copy of the entry at the end, counted unless noCount is set. 1, or 0 without memory.
  int AddCopy(const Library& source, bool noCount);
  // Moves (copies into out, then removes) the entries whose name after the category name reads
  // as a number of 0 or more (wanted true) or not (wanted false); returns out's count.
  int SplitOffEntries(CObList& out, bool wanted);
  // Sets the given fields of the existing entry, or of a new one that is appended and counted.
  int AddEntry(const LibraryEntryValues& values, Library* existing = nullptr);
  // Sets the fields of the entry of that name from the source (1), or adds a counted copy (0).
  int UpdateEntry(const char* name, const Library& source);
  // Deletes the entry of that name when there is one; always 0.
  int RemoveEntry(const char* name);
  // The first entry whose name, file name or title equals the text, case aside; null if none.
  Library* FindEntryByName(const char* name, POSITION* position = nullptr) const;
  Library* FindByFileName(const char* text, POSITION* position = nullptr) const;
  Library* FindByTitle(const char* text, POSITION* position = nullptr) const;
  // Copies the category's strings and words into the target and appends (uncounted) copies of
  // the entries whose model key equals the key, case aside; the target's entry count.
  int CopyMatching(LibraryDatabase& target, const char* modelKey) const;
  CString GetCategoryString() const { return m_categoryStrings[1]; }

  int GetEntryCount() const { return static_cast<int>(m_entries.GetCount()); }
  Library* GetEntry(POSITION position) const { return static_cast<Library*>(m_entries.GetAt(position)); }
  // The entry files of the category in the database folder (empty without one). A category
  // name that reads as a path stays a file name in that folder.
  CString GetMainFilePath() const;
  CString GetUserFilePath() const;

  uint32_t m_category = 0;
  uint32_t m_entryCounter = 0;
  uint32_t m_idCounters[6] = {1201, 1401, 1301, 1501, 0, 1616};
  int32_t m_lastWord = -1;
  CString m_categoryStrings[3];
  CString m_categoryName;  // prefix of its entry names, part of its entry files' names
  CUIntArray m_ids;
  CObList m_entries{10};  // Library, owned

private:
  using Key = CString Library::*;
  Library* FindBy(Key key, const char* text, POSITION* position) const;
  void StoreEntryFiles();
  void LoadEntryFiles();
};

// The categories of the library, in the order of the list file.
class LibraryDatabaseList : public CObList {
public:
  LibraryDatabaseList() : CObList(10) {}
  // Deletes every category.
  ~LibraryDatabaseList() override;
  LibraryDatabaseList(const LibraryDatabaseList&) = delete;
  LibraryDatabaseList& operator=(const LibraryDatabaseList&) = delete;

  // The count, then one object reference per category.
  void Serialize(CArchive& ar) override;
  // The category of that number, or null.
  LibraryDatabase* FindCategory(uint32_t category) const;
};
