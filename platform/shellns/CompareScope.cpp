#include "platform/shellns/CompareScope.h"

namespace {
thread_local TShellCompareMemo* current = nullptr;
} // namespace

TShellCompareScope::TShellCompareScope() : memo_(std::make_unique<TShellCompareMemo>()), outer_(current) {
    current = memo_.get();
}

TShellCompareScope::~TShellCompareScope() { current = outer_; }

TShellCompareMemo* CurrentCompareMemo() { return current; }
