#pragma once
// The upper-casing rules the editor folds text with for case-insensitive
// search and key matching.

#include "editor/model/DocumentTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

// An application-installed folding routine: changes length bytes in place.
using TUpperCaseProc = void (*)(char* buffer, int32_t length);

// Installs (or, with nullptr, removes) the process-wide routine used by
// pmuUserDefined.  Every memo's cached upper-case copy is dropped.
void SetUserUpperCaseProc(TUpperCaseProc proc);
// Rises whenever the user-defined routine changes, so caches can tell.
uint64_t UpperCaseGeneration();

// Folds length bytes in place by the rule.  pmuUserDefined without an
// installed routine folds as pmuAscii.
void UpperCaseBuffer(TpmUpperCase rule, char* buffer, int32_t length);
// A copy of text folded by the rule.
std::string UpperCased(TpmUpperCase rule, std::string_view text);
