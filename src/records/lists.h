// The record layer's list replies (databases, EDB users, EDB names), the
// EDB's resource file, and the forwarders of the current selection.
#pragma once

#include <cstdint>

// Out buffers hold at least 8096 wide characters.
int32_t IORDatabasesList(int32_t first, wchar_t* out);
int32_t IOREdbUsersList(int32_t first, wchar_t* out);
int32_t IOREdbNamesList(int32_t first, wchar_t* out);
int32_t IOREdbRsrcLoad(int32_t first, wchar_t* out);

// Resource file save: operation 0 start, 1 send `line`, 2 finish, 3 abort.
enum RsrcSaveOperation : int32_t { RsrcSaveStart = 0, RsrcSaveLine = 1, RsrcSaveFinish = 2, RsrcSaveAbort = 3 };
int32_t IOREdbRsrcSave(int32_t operation, const wchar_t* line);

void IORDatabaseSet(const wchar_t* name);
void IORDatabaseGet(wchar_t* out);
void IOREdbUserSet(const wchar_t* name);
void IOREdbUserGet(wchar_t* out);
void IOREdbNameSet(const wchar_t* name);
void IOREdbNameGet(wchar_t* out);
int32_t IOREdbCreate(const wchar_t* name);
