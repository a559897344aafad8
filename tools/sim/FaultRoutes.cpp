#include "sim/FaultRoutes.h"

#include <charconv>
#include <memory>
#include <optional>

#include "sim/SimText.h"

namespace quorvane::sim {

namespace {

std::optional<long> ParseNumber(std::string_view text, long min, long max) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) {
    return std::nullopt;
  }
  return value;
}

long QueryNumber(const RawQuery& query, std::string_view key, long fallback, long min, long max) {
  if (!query.Has(key)) return fallback;
  return ParseNumber(query.Raw(key), min, max).value_or(-1);
}

std::string Page(std::string_view title, std::string_view text) {
  return "<html><head><title>" + std::string(title) + "</title></head>\n<body>\n<h1>" +
         std::string(title) + "</h1>\n<p>" + std::string(text) + "</p>\n</body></html>\n";
}

void Html(httplib::Response& res, int status, std::string_view title, std::string_view text) {
  res.status = status;
  res.set_content(Page(title, text), "text/html");
}

void Redirect(std::string_view rest, const RawQuery& query, const std::string& baseUrl,
              httplib::Response& res) {
  const auto left = ParseNumber(rest, 0, 1000);
  const long hops = QueryNumber(query, "hops", 0, 0, 1000);
  if (!left || hops < 0) {
    Html(res, 400, "Bad redirect", "Use /fault/redirect/N with N from 0 to 1000.");
    return;
  }
  if (*left == 0) {
    Html(res, 200, "Arrived", "Arrived after " + std::to_string(hops) + " redirects.");
    return;
  }
  res.status = 302;
  res.set_header("Location", baseUrl + "/fault/redirect/" + std::to_string(*left - 1) +
                                 "?hops=" + std::to_string(hops + 1));
  res.set_content(Page("Found", "The page has moved."), "text/html");
}

}  // namespace

void AnswerFault(std::string_view path, const RawQuery& query, const std::string& baseUrl,
                 HoldGate& gate, std::uint64_t ticket, httplib::Response& res) {
  constexpr std::string_view kRedirect = "/fault/redirect/";
  constexpr std::string_view kStatus = "/fault/status/";
  if (path == "/fault/404") {
    Html(res, 404, "Not Found", "The requested page was not found on this server.");
  } else if (path.substr(0, kStatus.size()) == kStatus) {
    const auto status = ParseNumber(path.substr(kStatus.size()), 200, 599);
    if (!status) {
      Html(res, 400, "Bad status", "Use /fault/status/N with N from 200 to 599.");
    } else {
      Html(res, static_cast<int>(*status), "Status " + std::to_string(*status),
           "This page was answered with status " + std::to_string(*status) + ".");
    }
  } else if (path.substr(0, kRedirect.size()) == kRedirect) {
    Redirect(path.substr(kRedirect.size()), query, baseUrl, res);
  } else if (path == "/fault/redirect-nolocation") {
    res.status = 302;
    res.set_content(Page("Found", "Moved, but no Location header says where."), "text/html");
  } else if (path == "/fault/cut") {
    // Announces 1000 bytes, sends the first 100, then the connection closes.
    auto body = std::make_shared<const std::string>(
        "<html><body><p>This page is cut short by the server after one hundred bytes.</p>" +
        std::string(1000, '.'));
    res.set_content_provider(1000, "text/html",
                             [body](std::size_t, std::size_t, httplib::DataSink& sink) {
                               sink.write(body->data(), 100);
                               return false;
                             });
  } else if (path == "/fault/drip") {
    const long bytes = QueryNumber(query, "bytes", 10, 1, 1000000);
    const long ms = QueryNumber(query, "ms", 200, 0, 600000);
    const long delay = QueryNumber(query, "delay", 0, 0, 600000);
    if (bytes < 0 || ms < 0 || delay < 0) {
      Html(res, 400, "Bad drip", "Use /fault/drip?bytes=N&ms=M[&delay=D].");
      return;
    }
    if (delay > 0 && !gate.Wait(static_cast<int>(delay), ticket)) {
      Html(res, 503, "Stopping", "The simulator is stopping.");
      return;
    }
    res.set_content_provider(
        static_cast<std::size_t>(bytes), "text/plain",
        [ms, &gate, ticket](std::size_t offset, std::size_t, httplib::DataSink& sink) {
          if (!gate.Wait(static_cast<int>(ms), ticket)) return false;
          const char c = static_cast<char>('a' + offset % 26);
          return sink.write(&c, 1);
        });
  } else if (path == "/fault/chunked") {
    static const char* const kChunks[] = {"<html><body>\n", "<p>first chunk</p>\n",
                                          "<p>second chunk</p>\n", "</body></html>\n"};
    res.set_chunked_content_provider("text/html", [](std::size_t, httplib::DataSink& sink) {
      for (const char* chunk : kChunks) {
        if (!sink.write(chunk, std::char_traits<char>::length(chunk))) return false;
      }
      sink.done();
      return true;
    });
  } else if (path == "/fault/nul") {
    using namespace std::string_literals;
    res.set_content("<p>before the NUL byte</p>\n\0<p>after the NUL byte</p>\n"s, "text/html");
  } else if (path == "/fault/close") {
    res.set_header("Connection", "close");
    res.set_content_provider("text/html", [](std::size_t, httplib::DataSink& sink) {
      const std::string body =
          "<html><body>\n<p>This body has no length: it ends when the server closes.</p>\n"
          "</body></html>\n";
      sink.write(body.data(), body.size());
      // The library would keep the connection for another request; a
      // provider that gives up makes it close the socket at once.
      return false;
    });
  } else if (path == "/fault/cookie") {
    res.set_header("Set-Cookie", "simsession=s1m5e55; path=/");
    Html(res, 200, "Cookie", "A cookie named simsession was set for the whole site.");
  } else if (path == "/fault/echo") {
    res.status = 200;
    const std::string type = query.Has("type") ? query.Value("type") : "text/html";
    res.set_content(PercentDecode(query.Raw("body"), false), type);
  } else {
    Html(res, 404, "Not Found", "No such fault endpoint.");
  }
}

}  // namespace quorvane::sim
