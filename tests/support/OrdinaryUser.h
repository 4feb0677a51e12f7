#pragma once

// Runs the current test as an ordinary user. Root may write any file whatever its access
// rights say, so a test about permissions proves nothing when it runs as root.
//
// Put the macro first in the test body:
//
//     TEST_F(Downloads, ReadOnlyTargetIsKept)
//     {
//         KX_RUN_AS_ORDINARY_USER();
//         ... the test itself, run by a user who is not root ...
//     }
//
// What happens:
// - Not root: the macro does nothing and the test runs here.
// - Root: this test executable runs again for this one test (--gtest_filter=Suite.Name)
//   under `setpriv --reuid=nobody --regid=<nobody's group> --clear-groups`, with HOME,
//   TMPDIR and XDG_RUNTIME_DIR in a fresh 0700 directory owned by nobody (so TempDir and
//   every server the test starts live there). Its output is copied to this test's output,
//   and this test passes, fails or is skipped as the child did. The macro then returns from
//   the test body.
// - Root, but nobody cannot be become or cannot reach this executable (no setpriv, no user
//   nobody, a build directory nobody may not enter): the test is skipped and says why.
//
// The fixture is built in both processes, so SetUp must not need root, and what it prepares
// as root is not what the child uses: prepare the test's files in the body, after the macro.
#define KX_RUN_AS_ORDINARY_USER()                                                                                     \
    do {                                                                                                              \
        if (!continueAsOrdinaryUser())                                                                                \
            return;                                                                                                   \
    } while (false)

// True when the caller should run the test body now (this process is not root). False when
// the test was run in a child process as nobody, or skipped; its outcome is recorded.
bool continueAsOrdinaryUser();
