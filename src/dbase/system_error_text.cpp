#include "dbase/system_error_text.h"

#include <cerrno>

namespace pasarela {

std::string systemErrorText(int errnoValue) {
  switch (errnoValue) {
    case ENOENT:
      return "No existe el archivo o la carpeta";
    case EACCES:
    case EPERM:
      return "Permiso denegado";
    case EEXIST:
      return "El archivo ya existe";
    case ENOTDIR:
      return "Una parte de la ruta no es una carpeta";
    case EISDIR:
      return "Es una carpeta";
    case ENOSPC:
      return "No queda espacio en el disco";
    case EROFS:
      return "El sistema de archivos es de solo lectura";
    case EMFILE:
    case ENFILE:
      return "Hay demasiados archivos abiertos";
    case EIO:
      return "Error de entrada/salida";
    case EBUSY:
      return "El dispositivo o recurso está ocupado";
    case ENAMETOOLONG:
      return "El nombre del archivo es demasiado largo";
    case ENOTEMPTY:
      return "La carpeta no está vacía";
    case EXDEV:
      return "El destino está en otro dispositivo";
    case EINVAL:
      return "Argumento no válido";
    case ENOMEM:
      return "No hay memoria suficiente";
    case EFBIG:
      return "El archivo es demasiado grande";
    case ELOOP:
      return "Demasiados enlaces simbólicos en la ruta";
    case EAGAIN:
      return "El recurso no está disponible por el momento";
    default:
      return "Error del sistema " + std::to_string(errnoValue);
  }
}

}  // namespace pasarela
