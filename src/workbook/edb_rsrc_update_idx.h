// EdbRsrcUpdateIdx: rebuilds the six resource lists of the catalogue (speeds,
// temperatures, scenarios and the substance, substance-group and
// substance-group emission units) from the "Speed-Temp-Scen" and "Units"
// sheets, each by number.
#pragma once

#include <cstdint>

// 0 when all six lists were rebuilt; -1 when a sheet cannot be opened or
// read (ErrorText set).  The lists rebuilt before a failure stay rebuilt.
int32_t EdbRsrcUpdateIdx();
