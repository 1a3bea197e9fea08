// Linked with every object of the ground and nothing else: it builds only
// while no component calls into the program.
int main() { return 0; }
