/* The program's version, in the forms both the resource compiler (which
   reads only the preprocessor's language) and the code take it. */
#ifndef TALVIO_UPDATE_PROGRAM_VERSION_H
#define TALVIO_UPDATE_PROGRAM_VERSION_H

#define TALVIO_VERSION_TEXT "0.9.0.5"
#define TALVIO_VERSION_FIELDS 0, 9, 0, 5

#endif
