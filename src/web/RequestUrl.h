#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// What of a caller's URL goes on the wire. URLs are composed by their
// callers and sent as given: no percent-encoding, no ".." folding; only
// the fragment (from the first "#" on) stays home.

// The URL with every byte that cannot stand in a request line written as
// "%" and two capital hex digits: the blank, the control bytes 0x00-0x1F,
// DEL (0x7F) and every byte from 0x80 on (a keyword's letters outside
// ASCII: "caf\xC3\xA9" goes out as "caf%C3%A9"). Every other byte stays as
// it is, "%" included, so a URL encoded once comes out of a second pass
// unchanged. Callers that insert outside values (typed text, page values,
// table cells, brand addresses) pass the composed URL through it.
std::string EncodeUnsendableBytes(std::string_view url);

// The URL without its fragment.
std::string WithoutFragment(std::string_view url);

// The request target for the request line: the path and query exactly as
// written in the URL (fragment removed), "/" when the URL has no path.
std::string RequestTarget(std::string_view url);

// True for "invalid" and names under it (RFC 6761 6.4): such a name never
// resolves, so it is refused without asking any resolver.
bool IsReservedInvalidHost(std::string_view host);

// True for 127.0.0.1, "localhost" (any letter case) and [::1].
bool IsLoopbackHost(std::string_view host);

}  // namespace quorvane
