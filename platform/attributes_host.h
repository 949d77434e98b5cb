// The platform sources' side of attributes.h: listing data and attribute
// records of host files already looked up. Platform sources only.
#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/filetime.h"
#include "platform/listing.h"

namespace weft_host {

// Listing data of a host file already stat'ed; `name` is the name shown (for
// the dot rule and FindData::name).
void FillFindData(const std::string& host, const struct stat& st, const std::string& name,
                  FindData* data);
// The same with the creation time already known.
void FillFindData(const std::string& host, const struct stat& st, FileTime creation,
                  const std::string& name, FindData* data);
// stat (symbolic links followed) and the creation time (the modification time
// where the file system keeps none) in one call.
bool StatWithCreation(const std::string& host, struct stat* st, FileTime* creation);

// Gives `to` the hidden flag of `from`'s attribute record (best effort).
void CopyHiddenFlag(const std::string& from, const std::string& to);

// True when the attribute record of host file `host` says hidden.
bool HasHiddenRecord(const std::string& host);
// The same in one call that also tells whether `host` exists: false (and
// `hidden` untouched) when it does not.
bool ReadHiddenRecord(const std::string& host, bool* hidden);

}  // namespace weft_host
