// Linked with the whole of one room of the platform and the rooms that room
// names, and nothing else: every function in the room must find what it calls
// there, so a room that reaches for one above it fails the build. Running it
// does nothing.
int main() { return 0; }
