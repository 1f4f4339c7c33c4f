// The frame tests link the whole program: its own reset puts every folder back.
#include "engine/ResetProgram.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {

void ResetLinkedFolders() { engine::ResetProgram(); }

}  // namespace shell::test
