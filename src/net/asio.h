#pragma once

// One asio for the whole program: Boost's, which also carries the HTTP and WebSocket library of the
// pit-wall relay. Code names it `asio::` as it would the standalone one.

// Boost 1.74's coroutine support uses std::exchange without including <utility>, which newer standard
// libraries no longer bring along by themselves.
#include <utility>

#include <boost/asio.hpp>

namespace asio = boost::asio;
