#pragma once

namespace kv::web {

// How long a client may take over each part of a request. These are
// deadlines, not idle timers: a byte now and then does not put them off, so
// a client that trickles a request in holds its connection no longer than
// one that sends nothing.
struct ConnectionDeadlines {
    // A request head: from the connection, or for a later request on a kept
    // connection from its first byte (at the earliest when the previous answer
    // went out). A browser sends a head in one piece; ten seconds leave room
    // for a phone on a poor network.
    int headMs = 10000;
    // A request body, from the end of its head (bodies are at most 8 KiB).
    int bodyMs = 10000;
    // A kept connection waiting for its next request, from the previous answer.
    int keepAliveMs = 30000;
    // The client to take an answer written to it (the page and the pictures
    // are the largest, a few hundred KiB): a client that never reads holds
    // its connection no longer than this.
    int answerMs = 60000;
};

// The connections open at once, WebSockets of the live feed included. A
// household has a few phones and computers, each with a browser that opens
// up to six connections; 64 leave room for all of them and keep the server
// small.
inline constexpr int MaxConnections = 64;
// The connections one client address may hold: a browser opens six, two
// browsers on one computer twelve. Above this one address is surely a runaway
// or hostile program, and refused at once.
inline constexpr int MaxConnectionsPerAddress = 16;
// The last slots below MaxConnections that the address holding the most
// connections may not take: even when a few addresses together fill the
// server, a client from another address still gets in.
inline constexpr int HeldBackConnections = 8;

} // namespace kv::web
