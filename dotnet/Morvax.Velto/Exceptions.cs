// The exceptions the library raises for documents it cannot load.  They are
// only ever created here, so their constructors are internal.
using System;

namespace Morvax.Velto;

public sealed class FileCorruptedException : Exception
{
    internal const string DefaultMessage = "The document appears to be corrupted and cannot be loaded.";

    internal FileCorruptedException(Exception? innerException) : base(DefaultMessage, innerException)
    {
    }
}

public sealed class UnsupportedFileFormatException : Exception
{
    internal UnsupportedFileFormatException(string message) : base(message)
    {
    }
}

// For documents whose password is missing or wrong; raised once encrypted
// documents can be read.
public sealed class IncorrectPasswordException : Exception
{
    internal IncorrectPasswordException(string message) : base(message)
    {
    }
}

// For encrypted documents whose encryption scheme the reader does not know.
public sealed class UnsupportedEncryptionException : Exception
{
    internal UnsupportedEncryptionException(string message) : base(message)
    {
    }
}

// For a document reader plug-in that could not be loaded or started.
public sealed class DocumentReaderPluginLoadException : Exception
{
    internal DocumentReaderPluginLoadException(string message, Exception? innerException) : base(message, innerException)
    {
    }
}
