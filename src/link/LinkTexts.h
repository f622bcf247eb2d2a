#pragma once

namespace sonmetra::linktext {

inline constexpr char CommErrorTitle[] = "Comm Error";
inline constexpr char PortNotOpen[] = "Comm port Error.\r\nPlease reset it.";
inline constexpr char CannotEncode[] = "Comm module Error.";
inline constexpr char Busy[] = "Last Comm task does not over.\r\nPlease waiting.";
inline constexpr char RemoteError[] = "Communication ERROR with remote device.\r\nPlease check.";
inline constexpr char Retrying[] = "  Communication Error, Re-trying...";
inline constexpr char NoInstrument[] = "No instrument detected at the specified port";
inline constexpr char ConnectionFailedTitle[] = "Connection failed";
inline constexpr char NoFreePort[] = "Can not find any available com port.";
inline constexpr char Connected[] = "  COM%1 Connected!";
inline constexpr char NotConnected[] = "not connected";
inline constexpr char Disconnecting[] = "Disconnecting...";

} // namespace sonmetra::linktext
