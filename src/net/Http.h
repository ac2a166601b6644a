#pragma once
// The program's one HTTP operation: a blocking GET whose body comes back as text.

#include <QString>

// Bodies beyond this size are abandoned as a failure.
constexpr qint64 HttpMaxBody = 64 * 1024 * 1024;

// Sends one GET with "Pragma: no-cache" and, when Cookie is not empty, a cookie header; returns the body
// decoded from GBK. Empty text on any failure: an address that is not http or https, a cookie with line
// breaks, no connection, no data moving for Timeout seconds (at least 1), a body over maxBody bytes,
// a status of 400 or above other than 401 and 407 (whose bodies are returned). While it waits, timers,
// sockets and repaints are served but user input is held back, so no input handler runs inside it.
QString HttpGet(const QString &Url, const QString &Cookie, int Timeout, qint64 maxBody = HttpMaxBody);
