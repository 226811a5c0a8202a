#pragma once

// The name under which the extension serves its pipe; a peer opens "\\.\pipe\" followed by it.
inline constexpr char pipeName[] = "vantorel_reaper";
