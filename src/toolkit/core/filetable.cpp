// The table of model-file readers and writers by file type.
#include "toolkit/core/filetable.h"

namespace {

WTfiletable table;
const WTfilekind none = {};

}  // namespace

void _WTfiletable_fill(void) { _WTloaders_filltable(&table); }

const WTfilekind *_WTfiletable_kind(int type) {
  const int count = static_cast<int>(sizeof table.kinds / sizeof table.kinds[0]);
  return type >= 0 && type < count ? &table.kinds[type] : &none;
}

void _WTfiletable_bindlibraries(void) {
  if (table.bindlibraries) table.bindlibraries();
}

void _WTfiletable_cleanup(void) {
  if (table.cleanup) table.cleanup();
}
