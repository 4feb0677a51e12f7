#pragma once

// Makes the process's exit wait until the thread that exits is the only one left.
//
// Qt 6.4 starts its threads detached: QThread::wait() returns once a thread has finished its
// work, while the thread itself still has its own end to run (its storage, the sanitizer's
// record of it, the system thread). Qt stops some of its threads only as a program ends: the
// painting pool's as the application object goes, the session bus's in a destructor that runs
// at exit. LeakSanitizer's check at exit suspends every thread of the process and reads the
// sanitizer's record of each; a thread caught half way through its end has lost that record,
// and the check crashes ("Tracer caught signal 11").
//
// Call first thing in main, before anything starts a thread: the wait then runs after the
// destructors of everything made later (the toolkit's included) and before the leak check.
// Threads still there after DefaultPatienceMs are named on stderr and the exit goes on.
void waitForOtherThreadsAtExit();
