#pragma once
// The signals that end the program from outside: SIGTERM (a logout, a
// kill), SIGHUP (its terminal gone) and SIGINT (Ctrl+C).  Files the program
// put beside the user's can go first: the signal's handler only writes the
// signal down in a pipe the event loop watches (all a handler may safely
// do), and the event loop then runs the clean-up and ends the program by
// the same signal at its default action, so that whoever sent it sees the
// program ended by it.  Nothing else of an ordinary end runs.  A second
// such signal before that ends the program at once; a signal ignored when
// the program started (nohup) stays ignored.

#include <functional>

// Runs cleanUp, from the event loop, before one of these signals ends the
// program.  Needs the application initialised; a later call replaces the
// clean-up.
void CleanUpBeforeEndingSignals(std::function<void()> cleanUp);
