#pragma once

// Initialises GStreamer and registers our elements, once per process; safe to call again.
void EnsureMediaFramework();
