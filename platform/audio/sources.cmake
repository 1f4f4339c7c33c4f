# Sources of platform/audio.
