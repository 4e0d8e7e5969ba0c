#include "controls/gridsizes.h"

#include <algorithm>
#include <climits>
#include <utility>

void GridSizes::SetCount(int nCount, int nDefault) {
  m_sizes.resize((size_t)nCount, nDefault);
  m_bStale = true;
}

void GridSizes::Set(int i, int nSize) {
  m_sizes[(size_t)i] = nSize;
  m_bStale = true;
}

void GridSizes::Swap(int i, int j) {
  std::swap(m_sizes[(size_t)i], m_sizes[(size_t)j]);
  m_bStale = true;
}

const std::vector<long long>& GridSizes::Starts() const {
  if (m_bStale) {
    m_starts.resize(m_sizes.size() + 1);
    m_starts[0] = 0;
    for (size_t i = 0; i < m_sizes.size(); i++) m_starts[i + 1] = m_starts[i] + m_sizes[i];
    m_bStale = false;
  }
  return m_starts;
}

int GridSizes::Sum(int first, int last) const {
  if (last <= first) return 0;
  const std::vector<long long>& s = Starts();
  return (int)std::min<long long>(s[(size_t)last] - s[(size_t)first], INT_MAX);
}

int GridSizes::FirstAtOrPast(int first, int last, int offset) const {
  if (last <= first) return first;
  const std::vector<long long>& s = Starts();
  const long long target = s[(size_t)first] + offset;
  auto it = std::lower_bound(s.begin() + first, s.begin() + last, target);
  return (int)(it - s.begin());
}

int GridSizes::FirstEndingPast(int first, int offset) const {
  const int count = GetCount();
  if (first >= count) return count;
  const std::vector<long long>& s = Starts();
  const long long target = s[(size_t)first] + offset;
  auto it = std::upper_bound(s.begin() + first + 1, s.end(), target);
  return (int)(it - s.begin()) - 1;
}
