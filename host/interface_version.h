// The version of the simulator interface these headers declare: the date it was fixed, and the
// number GetModuleVersion gives for it (Date2Int's yyyymmdd). A module built against these
// headers reports this number; the stand-in warns about a module that reports another.
#pragma once

#define VESSELSIM_INTERFACE_DATE "Aug 28 2016"
#define VESSELSIM_INTERFACE_VERSION 20160828
