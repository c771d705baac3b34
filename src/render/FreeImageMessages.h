#pragma once

namespace render {

// Sends FreeImage's own complaints (a damaged file, a format it cannot
// write) to standard error, framed as "\n*** <FORMAT> Format\n<message> ***\n",
// so that they never mix with a program's output.
void RouteFreeImageMessages();

} // namespace render
