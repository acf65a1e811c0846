#include "remote/service.h"

#include <SDL/SDL_thread.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <list>
#include <mutex>

#include "engine/tokenizer.h"
#include "remote/buttons.h"

const char kRemoteGreeting[] = "Hello to MORVEL remote access!\r\nENTER YOU COMMAND then FINISH to exit";
const char kRemotePrompt[] = "\r\nCommand>";

TCPsocket remoteListener = nullptr;

int remotePort() {
  const char* text = std::getenv("MORVEL_REMOTE_PORT");
  if (text == nullptr || *text == '\0') return kDefaultRemotePort;
  char* end = nullptr;
  const long port = std::strtol(text, &end, 10);
  if (*end != '\0' || port < 1 || port > 65535) return kDefaultRemotePort;
  return static_cast<int>(port);
}

namespace {

// Sends `text` and its terminating zero byte.
void sendText(TCPsocket socket, const char* text) {
  const int length = static_cast<int>(std::strlen(text)) + 1;
  if (SDLNet_TCP_Send(socket, text, length) < length) std::printf("SDLNet_TCP_Send: %s\n", SDLNet_GetError());
}

bool holdsLineEnd(const char* bytes, int count, bool pendingCarriageReturn) {
  if (pendingCarriageReturn && bytes[0] == '\n') return true;
  for (int i = 0; i + 1 < count; ++i) {
    if (bytes[i] == '\r' && bytes[i + 1] == '\n') return true;
  }
  return false;
}

// Connection threads, kept so that finished ones are joined (an SDL thread
// that is never waited for keeps its stack).
struct ConnectionThread {
  TCPsocket client = nullptr;
  SDL_Thread* thread = nullptr;
  std::atomic<bool> done{false};
};

std::mutex threadsMutex;
std::list<ConnectionThread> threads;

int SDLCALL connectionMain(void* data) {
  auto* entry = static_cast<ConnectionThread*>(data);
  const int result = serveRemote(entry->client);
  entry->done = true;
  return result;
}

void reapFinished() {
  std::list<ConnectionThread> finished;
  {
    std::lock_guard<std::mutex> lock(threadsMutex);
    for (auto it = threads.begin(); it != threads.end();) {
      auto next = std::next(it);
      if (it->done) finished.splice(finished.end(), threads, it);
      it = next;
    }
  }
  for (ConnectionThread& t : finished) SDL_WaitThread(t.thread, nullptr);
}

}  // namespace

std::optional<std::string> receiveLine(RemoteConnection& connection) {
  std::string line;
  char* buffer = connection.readBuffer.data();
  for (;;) {
    const int count = SDLNet_TCP_Recv(connection.socket, buffer, static_cast<int>(kRemoteReadSize));
    if (count < 0) {
      std::printf("Erreur de receive \n");
      return std::nullopt;
    }
    if (count == 0) return std::nullopt;  // closed by the client
    const bool lineEnd = holdsLineEnd(buffer, count, connection.pendingCarriageReturn);
    connection.pendingCarriageReturn = buffer[count - 1] == '\r';
    if (line.size() + static_cast<std::size_t>(count) > kRemoteLineLimit) {
      std::printf("Remote command longer than %zu bytes: connection closed\n", kRemoteLineLimit);
      return std::nullopt;
    }
    line.append(buffer, static_cast<std::size_t>(count));
    if (lineEnd) break;
  }
  line.resize(std::strlen(line.c_str()));
  return line;
}

int serveRemote(TCPsocket client) {
  std::printf("THREAD\n");
  std::printf("AFT : %d %p \n", static_cast<int>(reinterpret_cast<std::intptr_t>(client)),
              static_cast<void*>(client));
  std::printf("SDLNet_TCP_Accepted: %s\n", SDLNet_GetError());
  RemoteConnection connection(client);
  sendText(client, kRemoteGreeting);
  while (connection.result == 0) {
    sendText(client, kRemotePrompt);
    const std::optional<std::string> line = receiveLine(connection);
    if (!line) break;
    // The command without its line end; a line shorter than that is empty.
    const std::string order = line->size() < 2 ? std::string() : line->substr(0, line->size() - 2);
    std::printf("ORDER:[%s] : ", order.c_str());
    if (order.find("FINISH") != std::string::npos) connection.result = 1;
    if (order.find("PORTA") != std::string::npos) {
      // "PORTA=" reads as 0, like any value without digits; a "PORTA" with
      // no "=" at all gives no value and leaves the word alone.
      const Tokenizer fields(order, '=');
      if (fields.fieldCount() >= 1) buttonWord = readWhole(fields.field(1).value_or(std::string()));
    }
    char reply[32];
    std::snprintf(reply, sizeof reply, "%d\r\n", connection.result);
    sendText(client, reply);
  }
  SDLNet_TCP_Close(client);
  return connection.result;
}

int acceptRemoteClient(TCPsocket listener) {
  reapFinished();
  if (listener == nullptr) return 0;
  TCPsocket client = SDLNet_TCP_Accept(listener);
  if (client == nullptr) return 0;
  std::printf("BEF : %d %p \n", static_cast<int>(reinterpret_cast<std::intptr_t>(client)),
              static_cast<void*>(client));
  std::lock_guard<std::mutex> lock(threadsMutex);
  ConnectionThread& entry = threads.emplace_back();
  entry.client = client;
  entry.thread = SDL_CreateThread(connectionMain, &entry);
  if (entry.thread == nullptr) {
    std::printf("SDL_CreateThread: %s\n", SDL_GetError());
    SDLNet_TCP_Close(client);
    threads.pop_back();
    return 0;
  }
  return 1;
}

void waitRemoteConnections() {
  std::list<ConnectionThread> all;
  {
    std::lock_guard<std::mutex> lock(threadsMutex);
    all.splice(all.end(), threads);
  }
  for (ConnectionThread& t : all) SDL_WaitThread(t.thread, nullptr);
}

int activeRemoteConnections() {
  std::lock_guard<std::mutex> lock(threadsMutex);
  int n = 0;
  for (const ConnectionThread& t : threads) n += t.done ? 0 : 1;
  return n;
}
