// Keeps a resource library non-empty while it has no collections.
