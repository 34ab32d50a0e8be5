#pragma once

// The chat a friendly chat client starts with, for the stand-in's default scenario
// and the simulator alike: bob announces the game.

namespace kelto::chat_protocol {

inline constexpr const char* kDefaultChatLines[] = {
    "<system>: Welcome to the chat",
    "alice: hi everyone",
    "bob: The Game Is Rock, Paper, Scissors",
    "carol: count me in",
};

}  // namespace kelto::chat_protocol
