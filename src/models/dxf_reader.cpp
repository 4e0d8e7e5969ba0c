// The plan-symbol DXF reader: the LINE, ARC and POINT entities of a DXF file's ENTITIES section,
// read token by token. Tokens may be of any length: only their first characters are kept, and a
// token longer than those is no keyword. Numbers are read from a token's leading sign and digits
// and clamped to 32 bits.
#include <cstring>
#include <limits>

#include "models/holesymbol.h"
#include "models/planhost.h"

namespace {

constexpr const char kAskReplace[] = "이미 2D 이미지를 가지고 있습니다.\n변경하시겠습니까?";
constexpr const char kCannotOpen[] =
    "화일을 열지 못하겠습니다.\n화일이 존재하지 않거나  공유 위반인 것 같습니다.";

constexpr size_t kKeptChars = 32;

struct Token {
  char text[kKeptChars + 1] = {};
  size_t length = 0;  // the whole token's length
  int32_t number = 0;

  bool Is(const char* word) const { return length <= kKeptChars && std::strcmp(text, word) == 0; }
};

// Leading sign and digits of a token, clamped to 32 bits.
class NumberParser {
public:
  void Add(char c, size_t index) {
    if (m_done) return;
    if (index == 0 && (c == '-' || c == '+')) {
      m_negative = c == '-';
      return;
    }
    if (c < '0' || c > '9') {
      m_done = true;
      return;
    }
    if (m_magnitude <= kLimit) m_magnitude = m_magnitude * 10 + (c - '0');
  }
  int32_t Value() const {
    const int64_t v = m_negative ? -m_magnitude : m_magnitude;
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
  }

private:
  static constexpr int64_t kLimit = int64_t{1} << 32;  // beyond it the value is clamped anyway
  bool m_negative = false;
  bool m_done = false;
  int64_t m_magnitude = 0;
};

class TokenReader {
public:
  explicit TokenReader(CFile& file) : m_file(file) {}

  // The next whitespace-separated token; false at the end of the file.
  bool Next(Token& token) {
    int c = Get();
    while (c >= 0 && IsSpace(c)) c = Get();
    if (c < 0) return false;
    token = Token();
    NumberParser number;
    for (; c >= 0 && !IsSpace(c); c = Get()) {
      if (token.length < kKeptChars) token.text[token.length] = static_cast<char>(c);
      number.Add(static_cast<char>(c), token.length);
      ++token.length;
    }
    token.number = number.Value();
    return true;
  }

private:
  static bool IsSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

  int Get() {
    if (m_pos == m_size) {
      if (m_ended) return -1;
      try {
        m_size = m_file.Read(m_buffer, sizeof m_buffer);
      } catch (CException* e) {
        e->Delete();
        m_size = 0;
      }
      m_pos = 0;
      if (m_size == 0) {
        m_ended = true;
        return -1;
      }
    }
    return m_buffer[m_pos++];
  }

  CFile& m_file;
  unsigned char m_buffer[4096];
  UINT m_size = 0;
  UINT m_pos = 0;
  bool m_ended = false;
};

bool SkipToEntities(TokenReader& reader) {
  Token token;
  while (reader.Next(token))
    if (token.Is("ENTITIES")) return true;
  return false;
}

// Group codes and values up to group code 0 or the end of the file.
template <class Entity>
Entity* ReadEntityBody(TokenReader& reader) {
  Entity* entity = new Entity;
  Token code, value;
  while (reader.Next(code) && code.number != 0) {
    if (!reader.Next(value)) break;
    entity->SetGroupValue(code.number, value.number);
  }
  return entity;
}

void ReadEntities(TokenReader& reader, ObjectArray& entities) {
  Token token;
  while (reader.Next(token)) {
    if (token.Is("ENDSEC")) break;
    if (token.Is("LINE")) entities.Add(ReadEntityBody<DXFLine>(reader));
    else if (token.Is("ARC")) entities.Add(ReadEntityBody<DXFArc>(reader));
    else if (token.Is("POINT")) entities.Add(ReadEntityBody<DXFPoint>(reader));
  }
}

}  // namespace

int HoleSymbol::ReadDxf(const char* path) {
  PlanHost& host = GetPlanHost();
  if (GetEntityCount() > 0 &&
      host.ShowMessage(kAskReplace, kPlanCaption, MB_TASKMODAL | MB_ICONEXCLAMATION | MB_OKCANCEL) != IDOK)
    return 0;
  CFile file;
  if (!path || !*path || !file.Open(path, CFile::modeRead)) {
    host.ShowMessage(kCannotOpen, kPlanCaption, kPlanRefusalStyle);
    return 0;
  }
  TokenReader reader(file);
  if (SkipToEntities(reader)) ReadEntities(reader, m_entities);
  file.Abort();
  return 1;
}
