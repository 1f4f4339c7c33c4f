# Sources of platform/sys.
