#pragma once
// The remote-control service: a line-oriented text protocol on a TCP port.
// A client gets a greeting, then a prompt per command; "PORTA=n" sets
// `buttonWord`, "FINISH" ends the connection. Every text the service sends is
// followed by one zero byte. Each connection is served by its own SDL thread.

#include <SDL/SDL_net.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

constexpr int kDefaultRemotePort = 9999;
// One read takes at most this many bytes; a command line, line end included,
// holds at most kRemoteLineLimit bytes.
constexpr std::size_t kRemoteReadSize = 100000;
constexpr std::size_t kRemoteLineLimit = kRemoteReadSize - 1;

extern const char kRemoteGreeting[];
extern const char kRemotePrompt[];

// 9999, or the port named by the environment variable MORVEL_REMOTE_PORT
// (1..65535; anything else is ignored).
int remotePort();

// Connections served at the same time. One more is told kRemoteBusy and
// closed, so that one peer cannot take every thread and the address space.
// Idle connections are never timed out: a button box may sit idle for hours.
constexpr int kMaxRemoteConnections = 256;
extern const char kRemoteBusy[];

// The listening socket, opened by the synthesizer start-up and kept until the
// program ends. Only the main loop accepts from it.
extern TCPsocket remoteListener;

// SDLNet_TCP_Open on `address`, then the listen backlog raised to the
// system's maximum: SDL_net asks for 5, and clients connecting in a burst
// beyond that wait seconds for the kernel to retry them. Null on failure
// (SDL's error text tells why). Main thread.
TCPsocket openRemoteListener(IPaddress& address);

// One accepted client and its receive state. Used by its connection thread
// only.
struct RemoteConnection {
  explicit RemoteConnection(TCPsocket s) : socket(s), readBuffer(kRemoteReadSize) {}

  TCPsocket socket;
  int result = 0;  // 1 once "FINISH" was received
  // The last read ended with a carriage return, so a line feed at the start
  // of the next one completes the line end. Kept per connection, so that one
  // client's bytes never end another client's line.
  bool pendingCarriageReturn = false;
  std::vector<char> readBuffer;
};

// Reads until a line end has been seen and returns every byte gathered up to
// the end of the read that held it (cut at the first zero byte, as a text).
// A read that holds a line end is served however long it is. Nothing when a
// read fails ("Erreur de receive \n"), when the client closed the connection
// before a line end, or when more than kRemoteLineLimit bytes gathered
// without one (the connection is then not worth keeping: a message says so
// and the caller ends it). A command text is thus at most kRemoteLineLimit +
// kRemoteReadSize bytes.
std::optional<std::string> receiveLine(RemoteConnection& connection);

// Serves one connection until "FINISH", a closed connection or a failed
// read, then closes the client socket. A connection lost without "FINISH"
// releases the buttons: `buttonWord` goes back to 0 if this connection wrote
// it last. Returns the result value (1 after "FINISH"). Runs on the
// connection's own thread.
int serveRemote(TCPsocket client);

// One non-blocking accept on `listener`. A waiting client is announced with
// "BEF : %d %p \n" and served on a new SDL thread; past
// kMaxRemoteConnections it is told kRemoteBusy and closed instead. Returns 1
// when a client was accepted and is being served. Main loop only.
int acceptRemoteClient(TCPsocket listener);

// Waits for every connection thread started so far to end (tests). Finished
// threads are also reaped by acceptRemoteClient.
void waitRemoteConnections();

// The orderly shutdown: shuts every client socket down, so that each
// connection thread sees its client leave, closes its socket and ends, then
// joins them all. Call from the main loop's thread once it no longer accepts.
void stopRemoteConnections();

// Connection threads that have not yet ended.
int activeRemoteConnections();
