#include "sim/HelpText.h"

#include "sim/Simulator.h"

namespace quorvane::sim {

std::string UsageText() {
  return "Usage: quorvane-sim [--port N] [--cert FILE --key FILE] [--scenario FILE]\n"
         "                    [--check] [--quiet]\n"
         "       quorvane-sim --help\n"
         "\n"
         "Serves stand-ins for every outside service Quorvane talks to, on one port of\n"
         "127.0.0.1 (never any other address), so a copy of Quorvane built against it\n"
         "can be tried without the internet. Stop it with Ctrl+C.\n"
         "\n"
         "Options:\n"
         "  --port N         port on 127.0.0.1 (default " +
         std::to_string(Simulator::kDefaultPort) +
         "; 0 picks a free one)\n"
         "  --cert FILE      serve https with this certificate (PEM; its chain may follow)\n"
         "  --key FILE       and this private key (PEM); both or neither\n"
         "  --scenario FILE  read the behaviour from a scenario file (format below);\n"
         "                   without it every service answers normally\n"
         "  --check          only read the scenario file, report errors and exit\n"
         "  --quiet          do not print a line for every request\n"
         "  --help           this text\n"
         "\n"
         "When it listens it prints the base URL, e.g. http://127.0.0.1:8765. Build\n"
         "Quorvane with every service address pointing there:\n"
         "  cmake -S . -B build -DQUORVANE_SUGGEST_URL=http://127.0.0.1:8765 \\\n"
         "        -DQUORVANE_GOOGLE_URL=http://127.0.0.1:8765 \\\n"
         "        -DQUORVANE_YAHOO_URL=http://127.0.0.1:8765 \\\n"
         "        -DQUORVANE_MSN_URL=http://127.0.0.1:8765 \\\n"
         "        -DQUORVANE_LIVEUPDATE_URL=http://127.0.0.1:8765/liveupdate/quorvane/\n"
         "and give the brand file a news base URL of http://127.0.0.1:8765/news/.\n"
         "\n"
         "For https, make a throw-away certificate authority and a certificate for\n"
         "127.0.0.1 with openssl, start the simulator with it, and let Quorvane's\n"
         "machine trust the authority (or build with https:// addresses and try it\n"
         "on a machine where the authority is trusted):\n"
         "  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes \\\n"
         "          -days 30 -subj /CN=Throw-away-authority \\\n"
         "          -keyout ca.key -out ca.pem\n"
         "  openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes \\\n"
         "          -subj /CN=127.0.0.1 -keyout sim.key -out sim.csr\n"
         "  openssl x509 -req -in sim.csr -CA ca.pem -CAkey ca.key -CAcreateserial \\\n"
         "          -days 30 -extfile <(printf 'subjectAltName=IP:127.0.0.1') -out sim.pem\n"
         "  quorvane-sim --cert sim.pem --key sim.key\n"
         "  sudo cp ca.pem /usr/local/share/ca-certificates/throw-away.crt\n"
         "  sudo update-ca-certificates    # --fresh after removing it again\n"
         "The base URL is then https://127.0.0.1:8765; curl --cacert ca.pem tries it.\n"
         "\n"
         "Exit status: 0 after Ctrl+C (or a good --check), 1 when the port cannot be\n"
         "bound, 2 for a wrong option or a scenario file with errors.\n";
}

std::string EndpointsText(const std::string& baseUrl) {
  const std::string& b = baseUrl;
  return "Endpoints (all under " + b +
         "):\n"
         "  Keyword suggestions\n"
         "    GET /?seed=golf+clubs&adult_filter=remove_offensive&suggest=Hit+Me\n"
         "        A page with a suggestion table: after \"</tfoot>\", rows\n"
         "        <tr><td>COUNT</td><td><a href=\"...\">PHRASE</a></td></tr>, counts with\n"
         "        thousands separators (some in <b>), phrases built around the seed\n"
         "        (some with &amp; and &#039;), then a row whose count is &nbsp; that ends\n"
         "        the list, then one more row that is not a suggestion.\n"
         "    Security image (when the scenario asks for it): a page saying \"Please\n"
         "        enter the characters in the image\" with hidden fields random and seed\n"
         "        and the image at " +
         b +
         "/captcha.png?random=R&amp;x=1.\n"
         "    GET /keyword-suggestion-tool.html?password=P&random=R&seed=S\n"
         "        The answer: the right characters with the newest random value give the\n"
         "        suggestions for S; anything else gives a new security-image page.\n"
         "    GET /captcha.png?random=R    the security image (PNG)\n"
         "  Web search result counts (precise searches quote the phrase with %22)\n"
         "    GET /search?q=%22golf+clubs%22      Google: <font size=-1>Results ...\n"
         "                                        of about <b>COUNT</b>\n"
         "    GET /search?p=%22golf+clubs%22      Yahoo: \"infotext\"> ... of COUNT for\n"
         "    GET /results.aspx?q=golf+clubs      MSN: <span id=\"count\">1-10 of COUNT\n"
         "                                        results</span>\n"
         "        Each page first shows a decoy number in the same shape, before the\n"
         "        marker that narrows the search. Counts depend only on the engine and\n"
         "        the phrase.\n"
         "  Publisher news (any folder: /news/, /publisher/x/, ...)\n"
         "    POST .../getlastnews.php      multipart/form-data: memusername, prodcode,\n"
         "                                  prodtype, conttype (all | lastcode),\n"
         "                                  newstarget, something\n"
         "        all: id^title^published records, each followed by the byte 0xAF, then OK\n"
         "        lastcode: id^title 0xAF OK for the newest item, or OK alone\n"
         "    POST .../getnewsdetails.php   the same with newsid instead of conttype:\n"
         "        the item's HTML with $XX escapes (for $, ^, 0xAF, line breaks and\n"
         "        bytes above 127), then 0xAF OK\n"
         "        Errors: INVALIDUSER (publisher id), INVALIDPRODUCT (product code or\n"
         "        type), CONNECTIONFAIL (scenario), INVALIDNEWS (unknown news id).\n"
         "  Live update\n"
         "    GET /liveupdate/quorvane/mainappupdate.inf\n"
         "        [APPLICATION] Name=Quorvane, Version=2.0 (or the scenario's version)\n"
         "  Faults, for trying the HTTP client\n"
         "    /fault/404                  404 with an HTML page\n"
         "    /fault/status/N             status N (200-599) with an HTML page\n"
         "    /fault/redirect/N           N redirects (302, absolute Location), then a\n"
         "                                page saying \"Arrived after N redirects.\"\n"
         "    /fault/redirect-nolocation  302 without a Location header\n"
         "    /fault/cut                  announces 1000 bytes, sends 100, closes\n"
         "    /fault/drip?bytes=N&ms=M&delay=D\n"
         "                                waits D ms, then N bytes, one every M ms\n"
         "    /fault/chunked              a body in chunked transfer coding\n"
         "    /fault/nul                  a body with a NUL byte in the middle\n"
         "    /fault/close                a body without length, ended by closing\n"
         "    /fault/cookie               sets the cookie simsession for path /\n"
         "    /fault/echo?body=TEXT&type=T\n"
         "                                answers the percent-decoded TEXT (\"+\" kept)\n"
         "  GET /sim                      this list\n"
         "Every other address answers 404.\n";
}

std::string ScenarioFormatText() {
  return R"(Scenario files:
  Plain text, one "key = value" per line under a [section] header. Lines
  starting with # or ; are comments. Blanks around keys and values are
  dropped; put a value in double quotes to keep its blanks. In every value
  \n, \r, \t, \\, \" and \xHH (a byte in hex, e.g. \xAF) stand for that
  character. Yes/no values also accept true/false, on/off and 1/0. Comments
  stand on lines of their own: a # after a value is part of the value.

  The keys, each with its default and what it does (sections and keys
  that are left out keep these defaults):

  [suggest]                 keyword-suggestion service
  rows = 12                 suggestion rows before the row that ends the list (0-1000)
  footer = lower            lower: </tfoot>; upper: </TFOOT>
  table = yes               no: a page without any suggestion table
  captcha = off             off | first N | always | until-solved
  answer = qv7k             characters of the security image (exact, case-sensitive)
  status = 200              another status (e.g. 500) answers every request with it

  [google], [yahoo], [msn]  one section per search engine
  mode = normal             normal | fail | no-markers | no-narrowing
  status = 500              the status of mode = fail

  [search]
  huge_term =               a phrase whose counts exceed 2,147,483,647 everywhere

  [news]                    publisher news service
  publisher_id = demo       memusername that is accepted (else INVALIDUSER)
  product_code = QV-DEMO    prodcode that is accepted (else INVALIDPRODUCT)
  product_type =            BM, BP or BG to accept only that one; empty: any
  connection_fail = no      yes: every request answers CONNECTIONFAIL
  items = default           default: three sample items; none: no items
  list_reply =              when set, sent verbatim for conttype=all
  lastcode_reply =          when set, sent verbatim for conttype=lastcode
  details_reply =           when set, sent verbatim for getnewsdetails.php
  status = 200

  [item]                    one news item; the first [item] replaces the samples
  id = 104                  required, a positive number; a larger id is newer
  title = Summer sale       may not contain ^ or \xAF
  published = 2024-06-01
  body = <p>HTML</p>        or body_file = FILE (relative to the scenario file)

  [update]                  live-update server
  version = 2.0             the Version key of section APPLICATION
  missing = no              yes: the descriptor answers 404
  raw =                     when set, the whole descriptor, verbatim

  Slow answers, in every section but [search] and [item]:
  delay_ms = 0              wait this long before answering
  drip_bytes = 0            send the page in pieces of this many bytes ...
  drip_ms = 0               ... with this pause before each piece

Example:
  # A day when the suggestion service wants the security image once, Yahoo
  # is down and MSN is slow.
  [suggest]
  captcha = first 1
  answer = k3x9

  [yahoo]
  mode = fail
  status = 503

  [msn]
  drip_bytes = 64
  drip_ms = 250

  [item]
  id = 7
  title = Hello from your publisher
  published = 2024-05-01
  body = <html><body><p>Thanks for using our keyword tool!</p></body></html>
)";
}

}  // namespace quorvane::sim
