#pragma once

// Settles what a test process needs before Qt starts: the offscreen platform when none is
// chosen (test discovery runs executables without CTest's environment) and a private
// runtime directory.
void prepareTestEnvironment();
