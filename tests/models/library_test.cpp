// The library database: the list file, the entry files of each category and the lookups.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "models/fileutil.h"
#include "models/library.h"
#include "plan_host_double.h"

namespace {

Library Entry(const char* name, const char* key = "", const char* file = "", const char* title = "") {
  Library e;
  e.m_name = name;
  e.m_modelKey = key;
  e.m_fileName = file;
  e.m_title = title;
  return e;
}

std::vector<BYTE> Store(LibraryDatabaseList& list) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    list.Serialize(ar);
    ar.Close();
  }
  const UINT size = static_cast<UINT>(file.GetLength());
  std::vector<BYTE> bytes(size);
  file.SeekToBegin();
  file.Read(bytes.data(), size);
  return bytes;
}

void Load(std::vector<BYTE> bytes, LibraryDatabaseList& list) {
  bytes.push_back(0);
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size() - 1));
  CArchive ar(&file, CArchive::load);
  list.Serialize(ar);
}

std::vector<std::string> Names(const LibraryDatabase& db) {
  std::vector<std::string> names;
  for (POSITION p = db.m_entries.GetHeadPosition(); p;)
    names.push_back(static_cast<const char*>(static_cast<const Library*>(db.m_entries.GetNext(p))->m_name));
  return names;
}

// The entries of an entry file; the user file starts with the entry counter.
std::vector<std::string> FileEntries(const std::string& path, bool user, uint32_t* counter = nullptr) {
  CFile file;
  if (!file.Open(path.c_str(), CFile::modeRead)) return {"(none)"};
  CArchive ar(&file, CArchive::load);
  UINT count = 0;
  if (user) ar >> count;
  if (counter) *counter = count;
  LibraryDatabase db;
  const DWORD n = ar.ReadCount();
  std::vector<std::string> names;
  for (DWORD i = 0; i < n; ++i) {
    CObject* o = ar.ReadObject(RUNTIME_CLASS(Library));
    names.push_back(static_cast<const char*>(static_cast<Library*>(o)->m_name));
    delete o;
  }
  return names;
}

class LibraryDb : public ::testing::Test {
protected:
  LibraryDatabase* AddCategory(LibraryDatabaseList& list, const char* name, uint32_t number) {
    auto* db = new LibraryDatabase;
    db->m_categoryName = name;
    db->m_category = number;
    list.AddTail(db);
    return db;
  }
  RecordingPlanHost host;
};

TEST_F(LibraryDb, NewCategoryRecord) {
  LibraryDatabaseList list;
  AddCategory(list, "", 0);
  const std::vector<BYTE> bytes = Store(list);
  // Count, new class "LibraryDatabase" of schema 2, then the nine words and four empty strings.
  const BYTE head[] = {1, 0, 0xFF, 0xFF, 2, 0, 15, 0};
  ASSERT_EQ(bytes.size(), sizeof head + 15 + 9 * 4 + 4);
  EXPECT_EQ(std::memcmp(bytes.data(), head, sizeof head), 0);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 23), "LibraryDatabase");
  const int32_t words[9] = {0, 0, 1201, 1401, 1301, 1501, 0, 1616, -1};
  EXPECT_EQ(std::memcmp(bytes.data() + 23, words, sizeof words), 0);
  EXPECT_EQ(bytes[59] | bytes[60] | bytes[61] | bytes[62], 0);
}

TEST_F(LibraryDb, SavingSplitsTheUserEntriesOff) {
  LibraryDatabaseList list;
  LibraryDatabase* ab = AddCategory(list, "AB", 7);
  for (const char* name : {"AB001", "AB-1", "ABX"}) {
    LibraryEntryValues values;
    values.name = CString(name);
    ab->AddEntry(values);
  }
  EXPECT_EQ(ab->m_entryCounter, 3u);
  LibraryDatabase* all = AddCategory(list, "CD", 8);
  all->AddCopy(Entry("CD7"), false);
  LibraryDatabase* none = AddCategory(list, "EF", 9);
  none->AddCopy(Entry("EF-3"), true);
  {  // a user file left from before
    CFile stale(host.DatabasePath("TUEF.Lib").c_str(), CFile::modeCreate | CFile::modeWrite);
  }

  const std::vector<BYTE> bytes = Store(list);
  EXPECT_EQ(Names(*ab), std::vector<std::string>{"AB-1"});
  EXPECT_EQ(FileEntries(host.DatabasePath("TAB.Lib"), false), std::vector<std::string>{"AB-1"});
  uint32_t counter = 0;
  EXPECT_EQ(FileEntries(host.DatabasePath("TUAB.Lib"), true, &counter),
            (std::vector<std::string>{"AB001", "ABX"}));
  EXPECT_EQ(counter, 3u);
  EXPECT_EQ(FileEntries(host.DatabasePath("TCD.Lib"), false), std::vector<std::string>{});
  EXPECT_EQ(FileEntries(host.DatabasePath("TUCD.Lib"), true), std::vector<std::string>{"CD7"});
  EXPECT_FALSE(FileExists(host.DatabasePath("TUEF.Lib").c_str()));
  EXPECT_TRUE(host.messages.empty());

  // Read back: the main file's entries, then the user's, and the user file's counter.
  LibraryDatabaseList loaded;
  Load(bytes, loaded);
  ASSERT_EQ(loaded.GetCount(), 3);
  LibraryDatabase* back = loaded.FindCategory(7);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->m_categoryName, "AB");
  EXPECT_EQ(Names(*back), (std::vector<std::string>{"AB-1", "AB001", "ABX"}));
  EXPECT_EQ(back->m_entryCounter, 3u);
  EXPECT_EQ(back->m_idCounters[5], 1616u);
  EXPECT_EQ(Names(*loaded.FindCategory(8)), std::vector<std::string>{"CD7"});
  EXPECT_EQ(loaded.FindCategory(10), nullptr);
}

TEST_F(LibraryDb, LookupsAndChanges) {
  LibraryDatabase db;
  db.m_categoryName = "CH";
  db.AddCopy(Entry("CHAIR", "의자", "chair.3ds", "chairm.3ds"), false);
  db.AddCopy(Entry("TABLE", "탁자", "table.3ds"), true);
  EXPECT_EQ(db.m_entryCounter, 1u);
  POSITION position = nullptr;
  Library* chair = db.FindEntryByName("chair", &position);
  ASSERT_TRUE(chair);
  EXPECT_EQ(db.GetEntry(position), chair);
  EXPECT_EQ(db.FindByFileName("CHAIR.3DS"), chair);
  EXPECT_EQ(db.FindByTitle("chairM.3ds"), chair);
  EXPECT_EQ(db.FindByTitle("chair.3ds"), nullptr);
  EXPECT_EQ(chair->GetInverseFileName(), "chairm.3ds");

  // AddEntry changes only the fields it is given, in place.
  LibraryEntryValues values;
  values.fileName = CString("seat.3ds");
  values.sizes[1] = 450.0f;
  EXPECT_EQ(db.AddEntry(values, chair), 1);
  EXPECT_EQ(chair->m_fileName, "seat.3ds");
  EXPECT_EQ(chair->m_modelKey, "의자");
  EXPECT_EQ(chair->m_sizes[0], 100.0f);
  EXPECT_EQ(chair->m_sizes[1], 450.0f);
  EXPECT_EQ(db.GetEntryCount(), 2);

  // UpdateEntry: 1 when found, else a counted copy and 0.
  EXPECT_EQ(db.UpdateEntry("table", Entry("TABLE", "탁자", "desk.3ds")), 1);
  EXPECT_EQ(db.FindEntryByName("TABLE")->m_fileName, "desk.3ds");
  EXPECT_EQ(db.UpdateEntry("LAMP", Entry("LAMP")), 0);
  EXPECT_EQ(db.GetEntryCount(), 3);
  EXPECT_EQ(db.m_entryCounter, 2u);
  EXPECT_EQ(db.RemoveEntry("lamp"), 0);
  EXPECT_EQ(db.RemoveEntry("none"), 0);
  EXPECT_EQ(db.GetEntryCount(), 2);

  // CopyMatching: the category's fields and the entries of one model key.
  db.m_category = 301;
  db.m_categoryStrings[1] = "Chairs";
  db.AddCopy(Entry("CH3", "의자"), false);
  LibraryDatabase target;
  EXPECT_EQ(db.CopyMatching(target, "의자"), 2);
  EXPECT_EQ(target.m_category, 301u);
  EXPECT_EQ(target.m_categoryName, "CH");
  EXPECT_EQ(target.GetCategoryString(), "Chairs");
  EXPECT_EQ(target.m_entryCounter, db.m_entryCounter);
  EXPECT_EQ(Names(target), (std::vector<std::string>{"CHAIR", "CH3"}));
}

TEST_F(LibraryDb, OlderListsKeepTheirEntriesInTheList) {
  // A schema-1 category: its entries, then the words and strings; no entry file is read.
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar.WriteCount(1);
    ar << static_cast<WORD>(0xFFFF) << static_cast<WORD>(1) << static_cast<WORD>(15);
    ar.Write("LibraryDatabase", 15);
    ar.WriteCount(1);
    Library chair = Entry("CHAIR");
    ar.WriteObject(&chair);
    for (int32_t w : {102, 5, 1, 2, 3, 4, 5, 6, -1}) ar << w;
    ar << CString("a") << CString("b") << CString("c") << CString("OLD");
    ar.Close();
  }
  {
    CFile main(host.DatabasePath("TOLD.Lib").c_str(), CFile::modeCreate | CFile::modeWrite);
  }
  const UINT size = static_cast<UINT>(file.GetLength());
  std::vector<BYTE> bytes(size);
  file.SeekToBegin();
  file.Read(bytes.data(), size);
  LibraryDatabaseList list;
  Load(bytes, list);
  LibraryDatabase* db = list.FindCategory(102);
  ASSERT_TRUE(db);
  EXPECT_EQ(Names(*db), std::vector<std::string>{"CHAIR"});
  EXPECT_EQ(db->m_categoryName, "OLD");
  EXPECT_EQ(db->m_entryCounter, 5u);
}

TEST_F(LibraryDb, FilesThatCannotBeWrittenOrRead) {
  LibraryDatabaseList list;
  LibraryDatabase* ab = AddCategory(list, "AB", 7);
  ab->AddCopy(Entry("AB-1"), false);
  ab->AddCopy(Entry("AB1"), false);
  // A folder where the main file should be: it cannot be created; the user file still is.
  std::filesystem::create_directory(std::filesystem::u8path(host.DatabasePath("TAB.Lib")));
  Store(list);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, host.DatabasePath("TAB.Lib") + "라이브러리에 대한 정보를 얻을수가 없습니다.");
  EXPECT_EQ(host.messages[0].caption, " TAVO  Vedra  ");
  EXPECT_EQ(host.messages[0].type, 0x2020u | 0x80000000u);  // no owner
  EXPECT_EQ(FileEntries(host.DatabasePath("TUAB.Lib"), true), std::vector<std::string>{"AB1"});

  // A category name that reads as a path keeps its files in the database folder.
  LibraryDatabaseList odd;
  AddCategory(odd, "../../x", 1)->AddCopy(Entry("../../x5"), false);
  Store(odd);
  EXPECT_TRUE(FileExists(host.DatabasePath("TU.__.__x.Lib").c_str()));

  // A damaged entry file fails the list's load with the archive's exception.
  LibraryDatabaseList good;
  AddCategory(good, "GH", 3)->AddCopy(Entry("GH-1"), false);
  const std::vector<BYTE> bytes = Store(good);
  {
    CFile damaged(host.DatabasePath("TGH.Lib").c_str(), CFile::modeCreate | CFile::modeWrite);
    const BYTE junk[] = {5, 0, 0xFF, 0xFF, 2, 0, 7, 0, 'L', 'i'};
    damaged.Write(junk, sizeof junk);
  }
  LibraryDatabaseList loaded;
  bool failed = false;
  try {
    Load(bytes, loaded);
  } catch (CException* e) {
    failed = true;
    e->Delete();
  }
  EXPECT_TRUE(failed);
}

}  // namespace
