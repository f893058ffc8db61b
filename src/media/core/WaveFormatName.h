#pragma once

#include <QString>

// The registered name of a wave-format tag ("PCM", "MP3", ...); empty for an unknown tag.
QString WaveFormatName(quint16 tag);
