#include "sim/MultipartParser.h"

#include <utility>

#include "sim/SimText.h"

namespace quorvane::sim {

namespace {

struct Parameter {
  std::string name;
  std::string value;
};

// Splits "type; a=b; c=\"d;e\"" into the leading value and its parameters.
// Quoted values run to the next double quote.
std::string SplitParameters(std::string_view text, std::vector<Parameter>& params) {
  const auto semicolon = text.find(';');
  std::string head = TrimBlanks(text.substr(0, semicolon));
  std::size_t p = semicolon == std::string_view::npos ? text.size() : semicolon + 1;
  while (p < text.size()) {
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == ';')) ++p;
    const std::size_t nameStart = p;
    while (p < text.size() && text[p] != '=' && text[p] != ';') ++p;
    Parameter param{ToLowerAscii(TrimBlanks(text.substr(nameStart, p - nameStart))), {}};
    if (p < text.size() && text[p] == '=') {
      ++p;
      while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
      if (p < text.size() && text[p] == '"') {
        const auto close = text.find('"', p + 1);
        const std::size_t end = close == std::string_view::npos ? text.size() : close;
        param.value = std::string(text.substr(p + 1, end - p - 1));
        p = end + 1;
        while (p < text.size() && text[p] != ';') ++p;
      } else {
        const std::size_t valueStart = p;
        while (p < text.size() && text[p] != ';') ++p;
        param.value = TrimBlanks(text.substr(valueStart, p - valueStart));
      }
    }
    if (!param.name.empty()) params.push_back(std::move(param));
  }
  return head;
}

bool ReadPartHeaders(std::string_view headers, SimFormField& field, std::string& error) {
  bool named = false;
  while (!headers.empty()) {
    const auto eol = headers.find("\r\n");
    const std::string_view line = headers.substr(0, eol);
    headers = eol == std::string_view::npos ? std::string_view{} : headers.substr(eol + 2);
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) {
      error = "part header line without a colon";
      return false;
    }
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = line.substr(colon + 1);
    if (EqualsNoCase(TrimBlanks(name), "Content-Disposition")) {
      std::vector<Parameter> params;
      if (!EqualsNoCase(SplitParameters(value, params), "form-data")) {
        error = "part disposition is not form-data";
        return false;
      }
      for (const auto& param : params) {
        if (param.name == "name") {
          field.name = param.value;
          named = true;
        } else if (param.name == "filename") {
          field.filename = param.value;
        }
      }
    } else if (EqualsNoCase(TrimBlanks(name), "Content-Type")) {
      field.contentType = TrimBlanks(value);
    }
  }
  if (!named) error = "part without a Content-Disposition name";
  return named;
}

}  // namespace

std::optional<std::string> MultipartBoundary(std::string_view contentType) {
  std::vector<Parameter> params;
  if (!EqualsNoCase(SplitParameters(contentType, params), "multipart/form-data")) {
    return std::nullopt;
  }
  for (const auto& param : params) {
    if (param.name == "boundary" && !param.value.empty()) return param.value;
  }
  return std::nullopt;
}

MultipartResult ParseMultipart(std::string_view body, std::string_view boundary) {
  MultipartResult result;
  const std::string delimiter = "--" + std::string(boundary);
  const std::string innerDelimiter = "\r\n" + delimiter;

  std::size_t p = 0;
  if (body.substr(0, delimiter.size()) != delimiter) {
    const auto first = body.find(innerDelimiter);
    if (first == std::string_view::npos) {
      result.error = "no delimiter line for the boundary";
      return result;
    }
    p = first + 2;
  }
  for (;;) {
    p += delimiter.size();
    if (body.substr(p, 2) == "--") break;  // closing delimiter; the rest is epilogue
    while (p < body.size() && (body[p] == ' ' || body[p] == '\t')) ++p;
    if (body.substr(p, 2) != "\r\n") {
      result.error = "delimiter line not ended by CR LF";
      return result;
    }
    p += 2;
    std::string_view headers;
    std::size_t contentStart = 0;
    if (body.substr(p, 2) == "\r\n") {
      contentStart = p + 2;
    } else {
      const auto end = body.find("\r\n\r\n", p);
      if (end == std::string_view::npos) {
        result.error = "part headers not ended by an empty line";
        return result;
      }
      headers = body.substr(p, end - p);
      contentStart = end + 4;
    }
    const auto next = body.find(innerDelimiter, contentStart);
    if (next == std::string_view::npos) {
      result.error = "no closing delimiter";
      return result;
    }
    SimFormField field;
    if (!ReadPartHeaders(headers, field, result.error)) return result;
    field.value = std::string(body.substr(contentStart, next - contentStart));
    result.fields.push_back(std::move(field));
    p = next + 2;
  }
  result.ok = true;
  return result;
}

}  // namespace quorvane::sim
