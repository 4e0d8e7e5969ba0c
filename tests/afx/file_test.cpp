#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "afx_test_util.h"

namespace {

std::string TempPath(const char* name) { return testing::TempDir() + name; }

void RemoveFile(const std::string& path) {
  std::error_code error;
  std::filesystem::remove(std::filesystem::u8path(path), error);
}

int FileCause(const std::function<void()>& fn) {
  try {
    fn();
  } catch (CFileException* e) {
    int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

TEST(CFile, ReadWriteSeekWithKoreanName) {
  const std::string path = TempPath("vedra_afx_평면도.bin");
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
    file.Write("hello world", 11);
    EXPECT_EQ(file.GetLength(), 11u);
    file.Close();
  }
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(path)));  // under its real name
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
  EXPECT_EQ(file.GetFileName(), "vedra_afx_평면도.bin");
  char buffer[16] = {};
  EXPECT_EQ(file.Seek(6, CFile::begin), 6u);
  EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 5u);  // short at the end: no error
  EXPECT_STREQ(buffer, "world");
  EXPECT_EQ(file.Seek(-5, CFile::end), 6u);
  EXPECT_EQ(file.Seek(-6, CFile::current), 0u);
  EXPECT_EQ(FileCause([&] { file.Seek(-1, CFile::begin); }), CFileException::badSeek);
  EXPECT_EQ(FileCause([&] { file.Write("x", 1); }), CFileException::accessDenied);
  file.Close();
  EXPECT_EQ(FileCause([&] { file.Read(buffer, 1); }), CFileException::invalidFile);

  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
  EXPECT_EQ(file.GetLength(), 11u);
  EXPECT_EQ(file.Read(buffer, 5), 5u);
  file.Write("!", 1);  // switching from reading to writing
  EXPECT_EQ(file.Read(buffer, 5), 5u);
  EXPECT_EQ(std::string(buffer, 5), "world");
  file.Close();
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
  EXPECT_EQ(file.GetLength(), 0u);  // truncated
  file.Close();
  RemoveFile(path);
}

TEST(CFile, OpenFailuresTellTheCause) {
  const std::string missing = TempPath("vedra_afx_없는폴더/x.bin");
  CFileException error;
  CFile file;
  EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(error.m_strFileName, missing.c_str());
  EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeCreate | CFile::modeWrite));
  EXPECT_EQ(FileCause([&] { CFile thrown(missing.c_str(), CFile::modeRead); }), CFileException::fileNotFound);
  EXPECT_FALSE(file.Open(testing::TempDir().c_str(), CFile::modeRead));  // a folder
}

TEST(CFile, ArchiveOverADiskFile) {
  const std::string path = TempPath("vedra_afx_archive.bin");
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store, 16);  // a small buffer: items cross buffer ends
    TLeaf* leaf = new TLeaf;
    leaf->m_d = 3.5;
    ar << CString("header") << (DWORD)42 << leaf << CString('z', 2000) << leaf;
  }  // the archive flushes when it goes, before the file closes
  Tracked::DeleteAll();

  CFile file(path.c_str(), CFile::modeRead);
  {
    CArchive ar(&file, CArchive::load, 16);
    CString header, big;
    DWORD dw;
    TLeaf* first = nullptr;
    TLeaf* second = nullptr;
    ar >> header >> dw >> first >> big >> second;
    EXPECT_EQ(header, "header");
    EXPECT_EQ(dw, 42u);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_d, 3.5);
    EXPECT_EQ(big, CString('z', 2000));
    EXPECT_EQ(first, second);
  }
  Tracked::DeleteAll();

  file.SeekToBegin();
  {
    CArchive ar(&file, CArchive::load);
    CString header;
    ar >> header;
    ar.Close();  // gives back what it read ahead
  }
  EXPECT_EQ(file.GetPosition(), 7u);
  file.Close();
  RemoveFile(path);
}

TEST(CMemFile, GrowsAttachesAndDetaches) {
  CMemFile grown(16);
  BYTE data[100];
  memset(data, 0xAA, sizeof(data));
  grown.Write(data, sizeof(data));
  EXPECT_EQ(grown.GetLength(), 100u);
  grown.Seek(200, CFile::begin);
  grown.Write(data, 1);
  EXPECT_EQ(grown.GetLength(), 201u);
  grown.Seek(150, CFile::begin);
  BYTE b = 1;
  EXPECT_EQ(grown.Read(&b, 1), 1u);
  EXPECT_EQ(b, 0);  // the gap reads as zeros
  EXPECT_EQ(FileCause([&] { grown.Seek(-1, CFile::begin); }), CFileException::badSeek);
  BYTE* detached = grown.Detach();
  EXPECT_EQ(detached[0], 0xAA);
  free(detached);
  EXPECT_EQ(grown.GetLength(), 0u);

  BYTE fixed[4] = {1, 2, 3, 4};
  CMemFile attached(fixed, sizeof(fixed));
  EXPECT_EQ(attached.GetLength(), 4u);
  EXPECT_EQ(attached.Read(data, 10), 4u);
  EXPECT_EQ(data[3], 4);
  attached.SeekToBegin();
  attached.Write("wxyz", 4);
  EXPECT_EQ(fixed[0], 'w');
  try {
    attached.Write("!", 1);
    ADD_FAILURE() << "a fixed buffer grew";
  } catch (CMemoryException* e) {
    e->Delete();
  }

  CMemFile growable(fixed, sizeof(fixed), 8);  // starts empty, moves out when it grows
  EXPECT_EQ(growable.GetLength(), 0u);
  growable.Write("0123456789", 10);
  EXPECT_EQ(fixed[0], 'w');
  growable.SeekToBegin();
  EXPECT_EQ(growable.Read(data, 10), 10u);
  EXPECT_EQ(memcmp(data, "0123456789", 10), 0);
}

}  // namespace

namespace {

// A document whose contents are one text; storing can be made to fail half-way.
class TextDocument : public CDocument {
 public:
  CString m_text;
  bool m_failWhileStoring = false;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << m_text;
      if (m_failWhileStoring) AfxThrowArchiveException(CArchiveException::genericException);
    } else {
      ar >> m_text;
    }
  }
};

std::string FileText(const std::string& path) {
  CFile file(path.c_str(), CFile::modeRead);
  std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
  file.Read(&bytes[0], static_cast<UINT>(bytes.size()));
  return bytes;
}

TEST(CDocument, FailedSaveKeepsThePreviousFile) {
  const std::string path = TempPath("vedra_afx_문서.doc");
  TextDocument doc;
  doc.m_text = "first";
  ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
  const std::string saved = FileText(path);

  doc.m_text = "second, never finished";
  doc.m_failWhileStoring = true;
  doc.SetModifiedFlag(TRUE);
  EXPECT_FALSE(doc.OnSaveDocument(path.c_str()));
  EXPECT_EQ(FileText(path), saved);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(path + ".saving~")));

  doc.m_failWhileStoring = false;
  ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));  // replaces the existing file
  TextDocument reread;
  ASSERT_TRUE(reread.OnOpenDocument(path.c_str()));
  EXPECT_STREQ(reread.m_text, "second, never finished");
  RemoveFile(path);
}

}  // namespace
