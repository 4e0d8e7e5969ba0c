// The row heights or column widths of the grid control, with the running sums that place a row
// or column without walking from the first one (portable).
#pragma once
#include <cstddef>
#include <vector>

class GridSizes {
 public:
  int GetCount() const { return (int)m_sizes.size(); }
  // New entries take nDefault.
  void SetCount(int nCount, int nDefault);
  int Get(int i) const { return m_sizes[(std::size_t)i]; }
  void Set(int i, int nSize);
  void Swap(int i, int j);
  // The sum of the entries from first to before last, at most INT_MAX.
  int Sum(int first, int last) const;
  // The first index i from first to last with Sum(first, i) >= offset; last when there is none.
  int FirstAtOrPast(int first, int last, int offset) const;
  // The first index i from first on with Sum(first, i + 1) > offset; the count when there is none.
  int FirstEndingPast(int first, int offset) const;

 private:
  const std::vector<long long>& Starts() const;

  std::vector<int> m_sizes;
  mutable std::vector<long long> m_starts;  // m_starts[i]: sum of the entries before i
  mutable bool m_bStale = true;
};
