// The simulator's type check on each display page a module opens
// (page_type_check.cpp).
#pragma once

#include "tests/host_abi/orbiter/orbiter_host.h"

// Asks, as the simulator does, whether the page is an MFD2, inside a try with
// catch (...); then checks the type record that question reads. What is wrong,
// or nullptr for a clean "not an MFD2" from a sound record.
const char* pageTypeCheckProblem(MFD* page);

// The type record before the page's virtual table, field by field: what is
// wrong with it, or nullptr.
const char* pageTypeRecordProblem(const MFD* page);
