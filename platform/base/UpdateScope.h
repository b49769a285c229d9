#pragma once
// BeginUpdate and EndUpdate around a piece of work, balanced on every exit
// path.
//
// String lists and the memo hold back their change notices while an update
// is open and send them from EndUpdate, so EndUpdate raises whatever a
// change handler raises.  That exception reaches the caller like any other;
// a guard object could only raise it from its destructor, which ends the
// program.  When the work itself raises, the update is ended and the work's
// exception goes on.

template <class TTarget, class TWork>
void RunInUpdate(TTarget& target, TWork&& work) {
    target.BeginUpdate();
    try {
        work();
    } catch (...) {
        target.EndUpdate();
        throw;
    }
    target.EndUpdate();
}
