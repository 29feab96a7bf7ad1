// ErrorBridge.cs: carries errors across the boundary in both directions.
// .NET exceptions caught at an entry point go to the host's exception callback
// as two Python strings (type name, message); a pending Python error is taken
// from the host as text.
using System;
using System.Collections.Generic;
using System.Text;

namespace Morvax.WrpGen.Interop
{
    /// <summary>
    /// Thrown where reading a Python value failed with a Python error that is
    /// still pending and is the error of the whole call: reported, it leaves
    /// that error in place instead of replacing it.  Only for errors raised
    /// inside a call from Python, before the library itself runs.
    /// </summary>
    internal sealed class PythonErrorPending : Exception
    {
        public PythonErrorPending(string message) : base(message)
        {
        }
    }

    internal static unsafe class ErrorBridge
    {
        // Text objects handed over by the catch-and-clear callback that could
        // not be released at once because the host registered no reference
        // table.  Each is a new reference the .NET side owns.
        private static readonly List<IntPtr> s_heldPythonTexts = new();

        /// <summary>
        /// Reports e to the host.  Ownership of both strings passes to the
        /// exception callback; a string the builder could not make goes as null.
        /// Without a callback (or builder) the exception goes to stderr, so it
        /// is never lost silently.  Never throws.
        /// </summary>
        public static void Report(Exception e)
        {
            if (e is PythonErrorPending)
            {
                // The Python error is the news, and is still pending: Python
                // raises it as it is (an OverflowError stays one).
                return;
            }
            try
            {
                var callback = NativeCallbacks.Exception;
                if (callback != null && NativeCallbacks.PyStrBuilder != null)
                {
                    Type type = e.GetType();
                    IntPtr first = NativeCallbacks.PyStr(type.FullName ?? type.Name);
                    IntPtr second = NativeCallbacks.PyStr(e.Message);
                    callback(first, second);
                    return;
                }
            }
            catch (Exception inner)
            {
                WriteToStderr(inner);
            }
            WriteToStderr(e);
        }

        /// <summary>
        /// Takes the pending Python error (clearing it) as text.  Null when no
        /// callback is registered, no error was pending, or the error had no text.
        /// </summary>
        public static string? TakePythonError()
        {
            var callback = NativeCallbacks.CatchAndClearError;
            if (callback == null)
            {
                return null;
            }
            IntPtr textObject = IntPtr.Zero;
            UnicodeView view = new() { Length = -1 };
            if (callback(&textObject, &view) != 0)
            {
                return null;
            }
            try
            {
                // The view points into the text object: decoded before it goes.
                return Decode(view);
            }
            finally
            {
                if (textObject != IntPtr.Zero && !NativeCallbacks.DropReference(textObject))
                {
                    lock (s_heldPythonTexts)
                    {
                        s_heldPythonTexts.Add(textObject);
                    }
                }
            }
        }

        internal static int HeldPythonTextCount
        {
            get
            {
                lock (s_heldPythonTexts)
                {
                    return s_heldPythonTexts.Count;
                }
            }
        }

        /// <summary>
        /// Decodes a Python str's storage.  A view that cannot be read gives a
        /// text saying so: the Python error it came from is already cleared,
        /// and losing it silently would be worse than a placeholder.
        /// </summary>
        internal static string? Decode(in UnicodeView view)
        {
            if (view.Length == -1)
            {
                return null;
            }
            if (view.Length < -1 || (view.Data == null && view.Length > 0))
            {
                return $"<unreadable Python error text: length {view.Length}, kind {view.Kind}>";
            }
            if (view.Length == 0)
            {
                return string.Empty;
            }
            switch (view.Kind)
            {
                case 1:
                    return Encoding.Latin1.GetString((byte*)view.Data, view.Length);
                case 2:
                    return new string((char*)view.Data, 0, view.Length);
                case 4:
                    return DecodeUcs4((uint*)view.Data, view.Length);
                default:
                    return $"<unreadable Python error text: length {view.Length}, kind {view.Kind}>";
            }
        }

        private static string DecodeUcs4(uint* data, int length)
        {
            var text = new StringBuilder(length);
            for (int i = 0; i < length; i++)
            {
                uint cp = data[i];
                if (cp < 0x10000)
                {
                    // Lone surrogates are legal in a Python str and survive as
                    // lone UTF-16 units, as the text really holds them.
                    text.Append((char)cp);
                }
                else if (cp <= 0x10FFFF)
                {
                    text.Append(char.ConvertFromUtf32((int)cp));
                }
                else
                {
                    text.Append('\uFFFD');
                }
            }
            return text.ToString();
        }

        private static void WriteToStderr(Exception e)
        {
            try
            {
                Console.Error.WriteLine($"morvax: unreported .NET exception: {e}");
            }
            catch
            {
                // Nowhere left to report to; the entry point still returns normally.
            }
        }
    }
}
