/* A tiny library standing in for a driver: it exports one entry by its plain
 * name, the way our libraries export the program's decorated entry points. */
int Initial(int ioBase, int irq, int physAddr, int param) { return ioBase + irq + physAddr + param; }
