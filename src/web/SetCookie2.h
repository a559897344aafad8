#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// libcurl's cookie engine understands "Set-Cookie" only. The value of a
// "Set-Cookie2" response header (RFC 2965: a comma-separated list of
// cookies, each NAME=VALUE with ";"-separated attributes) is turned here
// into cookie lines in the Netscape cookie-file layout, which the engine
// takes through CURLOPT_COOKIELIST with the host and path rules intact:
//
//   domain <TAB> include-subdomains <TAB> path <TAB> secure <TAB> expiry <TAB> name <TAB> value
//
// `requestHost` and `requestPath` are those of the request the header
// answered; they give the defaults (host-only cookie, path up to the last
// "/"). A Domain attribute that does not cover the request host rejects
// that cookie. Max-Age sets the expiry from `now` (seconds since the
// epoch); Max-Age=0 gives an expiry in the past, which deletes a stored
// cookie of the same name. Values are kept as sent, quotes included.
// Port, Comment, CommentURL, Discard and Version are ignored.
std::vector<std::string> SetCookie2Lines(std::string_view headerValue, std::string_view requestHost,
                                         std::string_view requestPath, std::int64_t now);

}  // namespace quorvane
