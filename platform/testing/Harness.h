// What tests need to drive the system as a person would, headless.
#pragma once

namespace platform::testing {

// Creates the application on Qt's offscreen platform (unless a platform was chosen), with the
// "C" numeric locale. Call once, first thing in main().
void StartHeadless(int& argc, char** argv);

}  // namespace platform::testing
