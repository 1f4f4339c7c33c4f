# Sources of platform/gdi.
