// Keeps a library that is still empty linkable.
