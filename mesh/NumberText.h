// NumberText: the conversion of an entry field's text into a number, shared by
// the entry panels of the mesh and the solver.
#pragma once

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

// The text as a finite number: an optional sign, digits with an optional decimal
// point and an optional exponent, blanks allowed around it. Anything else (an
// empty text, "1-2", "nan", "inf", hexadecimal) is not a number.
inline bool ParseNumberText(const std::string& text, double& value) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  std::size_t last = text.find_last_not_of(" \t");
  const std::string body = text.substr(first, last - first + 1);
  bool digit = false;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char ch = body[i];
    if (ch >= '0' && ch <= '9') {
      digit = true;
    } else if (ch == 'e' || ch == 'E') {
      if (!digit) return false;
    } else if (ch != '+' && ch != '-' && ch != '.') {
      return false;
    }
  }
  if (!digit) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(body.c_str(), &end);
  if (end != body.c_str() + body.size() || errno == ERANGE || !std::isfinite(v)) return false;
  value = v;
  return true;
}

// The check every numeric entry makes before converting: digits, '+', '-' and
// '.' only.
inline bool NumberCharactersOnly(const std::string& text) {
  for (char ch : text)
    if (!((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.')) return false;
  return true;
}
