/* The launcher's user-visible messages, in English. One list for both builds: the Windows
 * string table (messages.rc) and the table compiled into the Linux build are made from it.
 * A launch result r shows message r; 10 is the caption of every box. */
#ifndef TOVARIN_MESSAGES_H
#define TOVARIN_MESSAGES_H

#define TOVARIN_MESSAGE_1 "Java Runtime Environment not found."
#define TOVARIN_MESSAGE_2 "Java Runtime Environment not valid."
#define TOVARIN_MESSAGE_3 "Java Virtual Machine initialize failed."
#define TOVARIN_MESSAGE_4 "Java Virtual Machine starts failed."
#define TOVARIN_MESSAGE_5 "Can not get the virtual machine version."
#define TOVARIN_MESSAGE_6 "Java virtual machine version %s is too low, require %s or higher."
#define TOVARIN_MESSAGE_7 "The main startup class could not be found."
#define TOVARIN_MESSAGE_8 "The main startup class is not valid, main method missing."
#define TOVARIN_MESSAGE_10 "Error"
#define TOVARIN_MESSAGE_12 "Java virtual machine version %s is too high, version between %s and %s is required."
#define TOVARIN_MESSAGE_13 "There is already an instance of this program running."

#endif
