#pragma once

namespace tavrel {

// The Tavrel program: one instance per user and program folder, the main
// window, the event loop. Answers the program's exit code.
int runTavrel(int argc, char** argv);

}  // namespace tavrel
