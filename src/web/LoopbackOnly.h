#pragma once

namespace quorvane {

// Whether the HTTP clients of this program may reach nothing but this
// machine (127.0.0.1, localhost, [::1], and host names the client's own
// options lead to 127.0.0.1 without a lookup). The program's answer is no. Every
// test program links a definition of its own that says yes, so no test
// reaches beyond this machine by mistake, whatever addresses a window under
// test was built with; the linker then leaves this library's definition,
// alone in its file for that reason, out.
bool LoopbackOnly();

}  // namespace quorvane
