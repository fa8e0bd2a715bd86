#pragma once

// The "code" of the web layer's own refusals, beside "status" and "error" in
// every JSON error. Clients decide by the code, never by the text, so a code
// once given keeps its meaning. The refusals of the board's operations carry
// the outcome's own name instead (outcomeCodeName: "out_of_range", ...).
namespace kv::web::errorcode {

// The request itself.
inline constexpr char MalformedJson[] = "malformed_json"; // no JSON object in the body
inline constexpr char BadRequest[] = "bad_request";       // a word outside the API's grammar
inline constexpr char NotFound[] = "not_found";           // no such path
inline constexpr char MethodNotAllowed[] = "method_not_allowed";
inline constexpr char NotAWebSocket[] = "not_a_websocket"; // a plain GET of the live feed
inline constexpr char NoBoardDate[] = "no_board_date";     // the board's clock gives no date
// The server keeps no history: recording is off, or the file is missing or
// not ours.
inline constexpr char NoHistory[] = "no_history";

// Who may ask.
inline constexpr char Unauthorized[] = "unauthorized"; // a token is needed
inline constexpr char WrongToken[] = "wrong_token";    // the token form got a wrong one
inline constexpr char Forbidden[] = "forbidden";       // Host, Origin or a change's source

// The connection: its framing, checked before a request is read whole, and
// the limits on connections.
inline constexpr char PayloadTooLarge[] = "payload_too_large";
inline constexpr char HeadersTooLarge[] = "headers_too_large";
inline constexpr char LengthRequired[] = "length_required";
inline constexpr char BadContentLength[] = "bad_content_length";
inline constexpr char TooManyConnections[] = "too_many_connections"; // the server is full
// One client address holds as many connections as it may.
inline constexpr char TooManyFromAddress[] = "too_many_from_address";

// The program.
inline constexpr char PageMissing[] = "page_missing";

} // namespace kv::web::errorcode
