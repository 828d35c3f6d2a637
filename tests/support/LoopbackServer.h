// SPDX-License-Identifier: MIT
#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// A request as the server saw it.
struct SeenRequest {
  std::string target;                               // the request line's target: a path, or a whole address for a proxy
  std::multimap<std::string, std::string> headers;  // as sent by the client, names as written

  // The value of a header, or "<none>".
  std::string Header(const std::string& name) const;
  size_t Count(const std::string& name) const;
};

// An HTTP (or, with a certificate, HTTPS) server of cpp-httplib on a free loopback port,
// serving in threads of its own while the test runs. It records every request before the
// handler runs, so a test that has its answer also finds the request.
class LoopbackServer {
 public:
  LoopbackServer();
  LoopbackServer(const std::string& certificatePath, const std::string& keyPath);
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer();

  // Handlers are added before the first request.
  httplib::Server& Routes() { return *server_; }

  // Starts serving (the port is bound already) and returns once the server runs.
  void Start();

  int Port() const { return port_; }
  std::string Url(const std::string& path) const;  // "http://127.0.0.1:<port>" + path
  std::vector<SeenRequest> Requests() const;

  // For handlers: waits up to `ms`, returning early when the server is being stopped.
  void Hold(int ms);

 private:
  void Record(const httplib::Request& request);

  std::unique_ptr<httplib::Server> server_;
  bool secure_ = false;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::vector<SeenRequest> requests_;
};

// A loopback port nobody listens on: connecting to it is refused.
int ClosedPort();

}  // namespace testsupport
